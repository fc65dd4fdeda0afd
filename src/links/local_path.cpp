#include "links/local_path.h"

#include <sys/stat.h>

#include <QByteArray>
#include <QCryptographicHash>

#include <algorithm>
#include <optional>

#include "links/output_drives.h"
#include "links/url_utils.h"
#include "support/text.h"

namespace gleanery {

namespace {

constexpr std::string_view kFolderFile = "index.html";
// Stands for a host that is empty or nothing but dots.
constexpr std::string_view kNoHost = "_nohost";
constexpr std::size_t kMaxNameBytes = 255;
constexpr std::size_t kHashChars = 16;
// A longer tail after the last dot is part of the name, not an extension.
constexpr std::size_t kMaxKeptExtension = 16;

// Escapes that would make a folder or cut a name short stay as written.
constexpr std::string_view kKeptEscapes("/\0", 2);

// Appends piece to a name: the only bytes a Linux name cannot hold, "/" and
// NUL, are written as their escapes.
void appendNameBytes(std::string& out, std::string_view piece) {
    for (const char c : piece) {
        if (c == '/')
            out += "%2F";
        else if (c == '\0')
            out += "%00";
        else
            out += c;
    }
}

bool isDotName(std::string_view name) { return name == "." || name == ".."; }

// The extension of a file's name (".htm"), never a piece of its query; ""
// when it has none.
std::string_view extensionOf(std::string_view name) {
    const std::string_view stem = name.substr(0, name.find('?'));
    const auto dot = stem.rfind('.');
    return dot != std::string_view::npos && dot > 0 && stem.size() - dot <= kMaxKeptExtension ? stem.substr(dot)
                                                                                              : std::string_view{};
}

// Pages of server scripts: a browser offers them for download, or shows them
// as plain text, when it opens them from disk under their own names.
bool isScriptExtension(std::string_view extension) {
    static constexpr std::string_view kScripts[] = {".asp", ".aspx", ".cfm",  ".cgi",  ".jsp",   ".jspx",
                                                    ".php", ".php3", ".php4", ".php5", ".phtml", ".pl"};
    return std::ranges::any_of(kScripts, [&](std::string_view script) { return equalsNoCase(extension, script); });
}

// A name over the file system's limit keeps its start and its ending (by
// default its extension) and gets a hash of the whole name, so distinct long
// names stay distinct.
void shortenName(std::string& out, std::size_t start, std::optional<std::string_view> ending = std::nullopt) {
    const std::string_view name(out.data() + start, out.size() - start);
    if (name.size() <= kMaxNameBytes) return;
    const QByteArray hash = QCryptographicHash::hash(QByteArray::fromRawData(name.data(), qsizetype(name.size())),
                                                     QCryptographicHash::Sha256)
                                .toHex()
                                .left(kHashChars);
    const std::string extension(ending.value_or(extensionOf(name)));
    std::size_t keep = kMaxNameBytes - 1 - kHashChars - extension.size();
    // Never split a UTF-8 sequence.
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    out.resize(start + keep);
    out += '~';
    out.append(hash.constData(), static_cast<std::size_t>(hash.size()));
    out += extension;
}

// Appends "/" + piece as one more name and tells whether it did. "." and
// empty pieces add nothing; ".." steps back one folder, never above the host
// folder.
bool appendName(std::string& out, std::size_t hostEnd, std::string_view piece) {
    const std::size_t start = out.size();
    out += '/';
    appendNameBytes(out, piece);
    const std::string_view name(out.data() + start + 1, out.size() - start - 1);
    if (!name.empty() && !isDotName(name)) return true;
    const bool up = name == "..";
    out.resize(start);
    if (up && out.size() > hostEnd) out.resize(out.rfind('/'));
    return false;
}

void createFolders(std::string& path, std::size_t from) {
    // Most files land in a folder that exists: one look saves a try at each.
    const auto last = path.rfind('/');
    if (last == std::string::npos || last < from) return;
    path[last] = '\0';
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    path[last] = '/';
    if (exists) return;
    // Each "/" after from ends one folder to make; existing ones are left alone.
    for (auto sep = path.find('/', from); sep != std::string::npos; sep = path.find('/', sep + 1)) {
        path[sep] = '\0';
        ::mkdir(path.c_str(), 0777);
        path[sep] = '/';
    }
}

}  // namespace

std::string MakePathUnder(std::string_view url, std::string_view folder, bool create) {
    const std::string_view rest = StripCredentials(StripScheme(StripFragment(url)));
    const auto queryMark = rest.find('?');
    const std::string_view beforeQuery = rest.substr(0, queryMark);
    const auto firstSlash = beforeQuery.find('/');
    const std::string host = asciiLower(UnURLEncode(beforeQuery.substr(0, firstSlash), kKeptEscapes));
    const std::string path = firstSlash == std::string_view::npos
                                 ? std::string()
                                 : UnURLEncode(beforeQuery.substr(firstSlash), kKeptEscapes);

    // A bare host, or a last segment without a dot, names a folder; the query
    // plays no part in that.
    const bool folderUrl = path.empty() || path.find('.', path.find_last_of("/\\")) == std::string::npos;
    const auto fileSlash = folderUrl ? path.size() : path.rfind('/');
    const std::string_view chain = std::string_view(path).substr(0, fileSlash);
    const std::string_view file = folderUrl ? std::string_view{} : std::string_view(path).substr(fileSlash + 1);

    std::string out;
    out.reserve(folder.size() + rest.size() + kFolderFile.size() + 2);
    out.append(folder);
    if (out.empty() || out.back() != '/') out += '/';
    const std::size_t hostStart = out.size();
    appendNameBytes(out, host);
    const std::string_view hostName(out.data() + hostStart, out.size() - hostStart);
    if (hostName.empty() || isDotName(hostName)) {
        out.resize(hostStart);
        out += kNoHost;
    }
    shortenName(out, hostStart);
    const std::size_t hostEnd = out.size();

    for (std::size_t from = 0; from <= chain.size();) {
        auto to = chain.find('/', from);
        if (to == std::string_view::npos) to = chain.size();
        if (appendName(out, hostEnd, chain.substr(from, to - from))) shortenName(out, out.rfind('/') + 1);
        from = to + 1;
    }
    // A folder's own page is always index.html, whichever way the URL names it.
    if (!appendName(out, hostEnd, file)) {
        out += '/';
        out += kFolderFile;
    }
    // Browsers and file managers judge a file on disk by the end of its
    // name. A script's page ends in ".html"; the query stays in the file's
    // name as written, so that every page of a query keeps a file of its
    // own, and the file's extension follows it once more.
    const std::size_t nameStart = out.rfind('/') + 1;
    const std::string extension(extensionOf(std::string_view(out).substr(nameStart)));
    const bool script = isScriptExtension(extension);
    const std::string_view ending = script ? std::string_view(".html") : std::string_view(extension);
    if (queryMark != std::string_view::npos) {
        out += '?';
        appendNameBytes(out, rest.substr(queryMark + 1));
    }
    if (script || queryMark != std::string_view::npos) out += ending;
    shortenName(out, nameStart, ending);

    if (create) createFolders(out, hostStart);
    return out;
}

std::string MakePath(std::string_view url, int folderMode, bool createFolders, const OutputDrives& drives) {
    const bool byFreeSpace = folderMode != kPrimaryFolder && folderMode != kSecondaryFolder;
    return MakePathUnder(url, drives.folderFor(folderMode), createFolders || byFreeSpace);
}

std::string StoredCopyOf(std::string_view url, const OutputDrives& drives) {
    std::string primary = MakePath(url, kPrimaryFolder, false, drives);
    if (FileExists(primary)) return primary;
    std::string secondary = MakePath(url, kSecondaryFolder, false, drives);
    return secondary != primary && FileExists(secondary) ? secondary : std::string();
}

}  // namespace gleanery
