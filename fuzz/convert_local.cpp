// Link rewriting of a stored page, and the local form of single links.
//
// Invariants of ConvertLocal: a rewritten link never holds a space, quote or
// angle bracket, and neither does the text a link is replaced by, so the
// page's sequence of those bytes is kept exactly; between them, a stretch of
// text that holds no link (no "." for an extension, no "=" of an attribute,
// and not right after an "=") comes back unchanged. A page without any link
// is returned as it was.
//
// Invariants of ConvertLocalFile: every local form names a file inside the
// primary output folder; a "file://" form by its absolute path, a relative
// form by its path from the folder of the page's own file.
//
// Input: one byte of flags (1 = chkRelative, 2 = chkAllowParameters,
// 4 = credentials, 8 = an empty page type), the line of the page's route
// (empty for the default page), then the page text.

#include <QByteArray>
#include <vector>

#include "common/fake_settings.h"
#include "common/scripted_messages.h"
#include "fuzz_support.h"
#include "links/link_rewriting.h"
#include "links/local_link.h"
#include "links/local_path.h"
#include "links/url_utils.h"

using namespace gleanery;
using namespace gleanery::fuzz;
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kDefaultPage = "http://www.site.example/dir/index.html";
// Nothing is created: local forms are only computed.
constexpr std::string_view kPrimary = "/gleanery-fuzz/primary";
// What no link and no local form holds.
constexpr std::string_view kFrame = " '\"<>";
// What may lie between an attribute's "=" and its value.
constexpr std::string_view kBeforeValue = "= '\"<>";
constexpr std::size_t kMaxLinksPerPage = 64;

bool isFrame(char c) { return kFrame.find(c) != std::string_view::npos; }

// The text between the frame bytes, in order; the frame bytes themselves.
struct Framed {
    explicit Framed(std::string_view text) {
        std::size_t from = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (!isFrame(text[i])) continue;
            pieces.push_back({from, i});
            frame += text[i];
            from = i + 1;
        }
        pieces.push_back({from, text.size()});
    }
    struct Piece {
        std::size_t begin, end;
    };
    std::vector<Piece> pieces;
    std::string frame;
};

// A piece can hold (part of) a link: an extension word, an attribute value
// after its "=", or a value that begins it after "=" and delimiters.
bool mayHoldLink(std::string_view text, const Framed::Piece& piece) {
    const std::string_view s = text.substr(piece.begin, piece.end - piece.begin);
    if (s.find_first_of(".=") != std::string_view::npos) return true;
    for (std::size_t i = piece.begin; i-- > 0 && kBeforeValue.find(text[i]) != std::string_view::npos;)
        if (text[i] == '=') return true;
    return false;
}

void checkConvertLocal(std::string_view pageUrl, std::string_view text, const FakeSettings& settings,
                       const OutputDrives& drives) {
    const std::string out = ConvertLocal(pageUrl, text, settings, drives);
    const Framed before(text), after(out);
    FUZZ_REQUIRE(before.frame == after.frame, "spaces, quotes and angle brackets are kept in order",
                 shown(text) + " -> " + shown(out));
    for (std::size_t i = 0; i < before.pieces.size(); ++i) {
        const auto& b = before.pieces[i];
        const auto& a = after.pieces[i];
        const std::string_view was = text.substr(b.begin, b.end - b.begin);
        const std::string_view is = std::string_view(out).substr(a.begin, a.end - a.begin);
        FUZZ_REQUIRE(was == is || mayHoldLink(text, b), "text without links is kept", shown(was) + " -> " + shown(is));
    }
}

std::string percentDecoded(std::string_view s) {
    const QByteArray decoded = QByteArray::fromPercentEncoding(QByteArray(s.data(), qsizetype(s.size())));
    return decoded.toStdString();
}

void checkLocalForm(std::string_view pageUrl, std::string_view link, const FakeSettings& settings,
                    const OutputDrives& drives, const std::string& pageFile) {
    if (KeptAsWritten(link)) return;
    const std::string local = ConvertLocalFile(pageUrl, link, settings, drives);
    // The fragment follows the path, whose own "#" would be escaped.
    const std::string_view path = std::string_view(local).substr(0, local.find('#'));
    std::string file;
    if (path.starts_with("file://")) {
        for (const unsigned char c : path.substr(7))
            FUZZ_REQUIRE((c >= '0' && c <= '9') || ((c | 32) >= 'a' && (c | 32) <= 'z') ||
                             std::string_view("-._~/%").find(char(c)) != std::string_view::npos,
                         "a file URL is percent-encoded", shown(local));
        file = percentDecoded(path.substr(7));
    } else {
        file = (fs::path(pageFile).parent_path() / percentDecoded(path)).lexically_normal().string();
        // "." names the page's own folder: a link whose file has the name of
        // one of the page's folders.
        if (file.size() > 1 && file.ends_with('/')) file.pop_back();
    }
    std::string why;
    FUZZ_REQUIRE(liesUnder(file, kPrimary, &why), "a local form names a file in the primary folder",
                 shown(link) + " -> " + shown(local) + ": " + why);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    makeApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputReader in(data, size);
    const std::uint8_t flags = in.byte();
    const std::string_view line = in.line();
    const std::string_view text = in.rest();

    const char* types = "JPG JPEG MPG MPEG AVI MOV ZIP GIF WMV JS";
    FakeSettings settings;
    settings.set("txtPageTypes", flags & 8 ? "HTM  PHP" : "JSP ASP HTM HTML CGI PHP")
        .set("txtFileTypes", types)
        .set("txtFileTypesNon", types)
        .set("txtSaveLocation", std::string(kPrimary))
        .set("txtSaveLocation2", "/gleanery-fuzz/secondary")
        .set("txtName", flags & 4 ? "user" : "")
        .set("txtPassword", flags & 4 ? "pass" : "")
        .tick("chkRelative", flags & 1)
        .tick("chkAllowParameters", flags & 2);
    FixedFreeSpace space;
    testing::ScriptedMessages messages;
    const OutputDrives drives(settings, messages, space);

    const std::string pageUrl = robotsPageUrl(line.empty() ? kDefaultPage : line, settings);
    const std::string pageFile = MakePathUnder(MakeURL(pageUrl, settings), kPrimary, false);
    std::string why;
    FUZZ_REQUIRE(liesUnder(pageFile, kPrimary, &why), "the page's own file lies in the primary folder", why);

    checkConvertLocal(pageUrl, text, settings, drives);

    // Each stretch between frame bytes, and each part of it after an "=",
    // taken as a link on its own.
    const Framed framed(text);
    std::size_t links = 0;
    for (const auto& piece : framed.pieces) {
        std::string_view s = text.substr(piece.begin, piece.end - piece.begin);
        for (;;) {
            if (!s.empty() && ++links <= kMaxLinksPerPage) checkLocalForm(pageUrl, s, settings, drives, pageFile);
            const auto equals = s.find('=');
            if (equals == std::string_view::npos) break;
            s.remove_prefix(equals + 1);
        }
    }
    return 0;
}
