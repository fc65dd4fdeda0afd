#include "links/local_link.h"

#include <QByteArray>
#include <filesystem>

#include "links/local_path.h"
#include "links/output_drives.h"
#include "links/url_utils.h"
#include "support/settings_view.h"
#include "support/text.h"

namespace gleanery {

namespace {

std::string percentEncodePath(std::string_view path) {
    const QByteArray encoded =
        QByteArray::fromRawData(path.data(), qsizetype(path.size())).toPercentEncoding("/");
    return std::string(encoded.constData(), std::size_t(encoded.size()));
}

std::string relativePath(std::string_view from, std::string_view to) {
    namespace fs = std::filesystem;
    return fs::path(to).lexically_relative(fs::path(from).parent_path()).generic_string();
}

}  // namespace

bool KeptAsWritten(std::string_view link) {
    return link.empty() || link.starts_with('#') || startsWithNoCase(link, "javascript") ||
           startsWithNoCase(link, "mailto") || link.starts_with("file:///") || HasOtherScheme(link);
}

std::string FileURL(std::string_view path) {
    namespace fs = std::filesystem;
    // A relative output folder is taken from the current folder, as the files were written.
    const std::string absolute =
        path.starts_with('/') ? std::string(path) : fs::absolute(fs::path(path)).string();
    return "file://" + percentEncodePath(absolute);
}

std::string RelativeFileURL(std::string_view from, std::string_view to) {
    return percentEncodePath(relativePath(from, to));
}

LocalLinkMaker::LocalLinkMaker(std::string_view pageUrl, const SettingsView& settings,
                               const OutputDrives& drives)
    : pageUrl_(pageUrl), settings_(settings), drives_(drives), relative_(settings.checked("chkRelative")) {}

const std::string& LocalLinkMaker::pageFile() const {
    // The page is stored under the name its fetched URL maps to; links point
    // into the primary folder whichever folder received the files.
    if (!pageFile_) pageFile_ = MakePath(MakeURL(pageUrl_, settings_), kPrimaryFolder, false, drives_);
    return *pageFile_;
}

std::string LocalLinkMaker::convert(std::string_view link) const {
    if (KeptAsWritten(link)) return std::string(link);
    // The fragment names a place in the target, not another file.
    const std::string_view target = StripFragment(link);
    const std::string_view fragment = link.substr(target.size());

    // The mirror stores a link's file under the URL the robot fetches it by.
    const std::string file =
        MakePath(MakeURL(MakeRelativeURL(pageUrl_, target), settings_), kPrimaryFolder, false, drives_);
    if (!relative_ && (link.starts_with('/') || startsWithNoCase(link, "http")))
        return FileURL(file).append(fragment);
    const std::string path = relativePath(pageFile(), file);
    // A link that already names its file is left byte for byte as the page has it.
    if (path == target) return std::string(link);
    return percentEncodePath(path).append(fragment);
}

}  // namespace gleanery
