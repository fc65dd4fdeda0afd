// Link rewriting of a stored page.
//
// Invariants of the edits that make a page's links local: they are in
// order, disjoint and inside the page; each replaces a link that neither
// begins nor ends with a blank by a text that holds no blank, quote or angle
// bracket the link did not hold, so the markup around it stays whole; a local form names a file
// inside the primary output folder (a "file://" form by its absolute path,
// a relative form by its path from the folder of the page's own file), and
// an online form is an absolute URL put in place of a link that was not.
//
// Input: one byte of flags (1 = chkRelative, 2 = chkAllowParameters,
// 4 = credentials, 8 = an empty page type, 16 = chkPageRequisites), the line
// of the page's route (empty for the default page), then the page text.

#include <QByteArray>
#include <vector>

#include "common/fake_settings.h"
#include "fuzz_support.h"
#include "links/fake_link_queue.h"
#include "links/link_rewriting.h"
#include "links/local_link.h"
#include "links/local_path.h"
#include "links/url_utils.h"
#include "support/text.h"

using namespace gleanery;
using namespace gleanery::fuzz;
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kDefaultPage = "http://www.site.example/dir/index.html";
// Nothing is created: local forms are only computed.
constexpr std::string_view kPrimary = "/gleanery-fuzz/primary";
// What no replacement adds.
constexpr std::string_view kFrame = " \t\n\r\f\v'\"<>";

bool isBlank(char c) { return std::string_view(" \t\n\r\f\v").find(c) != std::string_view::npos; }

std::string percentDecoded(std::string_view s) {
    const QByteArray decoded = QByteArray::fromPercentEncoding(QByteArray(s.data(), qsizetype(s.size())));
    return decoded.toStdString();
}

bool isOnline(std::string_view s) { return startsWithNoCase(s, "http://") || startsWithNoCase(s, "https://"); }

void checkLocalForm(std::string_view link, std::string_view local, const std::string& pageFile) {
    // The fragment follows the path, whose own "#" would be escaped.
    const std::string_view path = local.substr(0, local.find('#'));
    std::string file;
    if (path.starts_with("file://")) {
        for (const unsigned char c : path.substr(7))
            FUZZ_REQUIRE((c >= '0' && c <= '9') || ((c | 32) >= 'a' && (c | 32) <= 'z') ||
                             std::string_view("-._~/%!$*+,;=@").find(char(c)) != std::string_view::npos,
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

void checkEdits(std::string_view text, const std::vector<LinkEdit>& edits, const std::string& pageFile) {
    std::size_t after = 0;
    for (const LinkEdit& e : edits) {
        FUZZ_REQUIRE(after <= e.begin && e.begin < e.end && e.end <= text.size(), "edits are in order and disjoint",
                     std::to_string(e.begin) + ".." + std::to_string(e.end));
        after = e.end;
        const std::string_view link = text.substr(e.begin, e.end - e.begin);
        FUZZ_REQUIRE(!isBlank(link.front()) && !isBlank(link.back()), "an edit replaces a link without its blanks",
                     shown(link));
        for (const char c : kFrame)
            FUZZ_REQUIRE(e.text.find(c) == std::string::npos || link.find(c) != std::string_view::npos,
                         "a replacement keeps the markup whole", shown(link) + " -> " + shown(e.text));
        if (isOnline(e.text))
            FUZZ_REQUIRE(!isOnline(link), "only a link that is not absolute is made absolute",
                         shown(link) + " -> " + shown(e.text));
        else
            checkLocalForm(link, e.text, pageFile);
    }
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
    settings.set(Field::txtPageTypes.name, flags & 8 ? "HTM  PHP" : "JSP ASP HTM HTML CGI PHP")
        .set(Field::txtFileTypes.name, types)
        .set(Field::txtFileTypesNon.name, types)
        .set(Field::txtSaveLocation.name, std::string(kPrimary))
        .set(Field::txtSaveLocation2.name, "/gleanery-fuzz/secondary")
        .set(Field::txtName.name, flags & 4 ? "user" : "")
        .set(Field::txtPassword.name, flags & 4 ? "pass" : "")
        .tick(Field::chkRelative.name, flags & 1)
        .tick(Field::chkAllowParameters.name, flags & 2)
        .tick(Field::chkPageRequisites.name, flags & 16);
    FixedFreeSpace space;
    const OutputDrives drives(settings, space);

    const std::string pageUrl = robotsPageUrl(line.empty() ? kDefaultPage : line, settings);
    const std::string pageFile = MakePathUnder(MakeURL(pageUrl, settings), kPrimary, false);
    std::string why;
    FUZZ_REQUIRE(liesUnder(pageFile, kPrimary, &why), "the page's own file lies in the primary folder", why);

    testing::FakeLinkQueue queue;
    checkEdits(text, LocalLinkEdits(pageUrl, text, settings, drives, queue), pageFile);
    return 0;
}
