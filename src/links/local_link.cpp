#include "links/local_link.h"

#include <filesystem>

#include "links/link_queue.h"
#include "links/local_path.h"
#include "links/output_drives.h"
#include "links/url_utils.h"
#include "support/settings_view.h"
#include "support/text.h"

namespace gleanery {

namespace {

std::string relativePath(std::string_view from, std::string_view to) {
    namespace fs = std::filesystem;
    return fs::path(to).lexically_relative(fs::path(from).parent_path()).generic_string();
}

bool isAbsolute(std::string_view link) {
    return startsWithNoCase(link, "http://") || startsWithNoCase(link, "https://");
}

// The URL without the credentials the robot put in front of its host: they
// have no place in a stored page.
std::string withoutCredentials(std::string_view url) {
    const std::string_view rest = StripScheme(url);
    return std::string(url.substr(0, url.size() - rest.size())).append(StripCredentials(rest));
}

// A URL or fragment as it can stand in any attribute or stylesheet: read
// from a tag it may hold blanks, quotes or brackets that its character
// references stood for, and an apostrophe would end a value in apostrophes.
std::string writable(std::string_view url) {
    std::string out;
    for (const char c : URLEncode(url)) c == '\'' ? out.append("%27") : out.append(1, c);
    return out;
}

}  // namespace

bool KeptAsWritten(std::string_view link) {
    return link.empty() || link.starts_with('#') || startsWithNoCase(link, "javascript") ||
           startsWithNoCase(link, "mailto") || link.starts_with("file:///") || HasOtherScheme(link);
}

std::string FileURL(std::string_view path) {
    namespace fs = std::filesystem;
    // A relative output folder is taken from the current folder, as the files were written.
    const std::string absolute = path.starts_with('/') ? std::string(path) : fs::absolute(fs::path(path)).string();
    return "file://" + PercentEncodePath(absolute);
}

LocalLinks::LocalLinks(std::string_view pageUrl, const SettingsView& settings, const OutputDrives& drives,
                       LinkQueue& queue, std::string_view baseUrl, LinkAdmission* admission)
    : pageUrl_(pageUrl),
      baseUrl_(baseUrl.empty() ? pageUrl : baseUrl),
      settings_(settings),
      drives_(drives),
      queue_(queue),
      admission_(admission ? *admission : ownAdmission_.emplace(settings, drives, queue)),
      relative_(settings.checked(Field::chkRelative)) {}

const std::string& LocalLinks::pageFile() const {
    // The page is stored under the name its fetched URL maps to; links point
    // into the primary folder whichever folder received the files.
    if (!pageFile_) pageFile_ = MakePath(MakeURL(pageUrl_, settings_), kPrimaryFolder, false, drives_);
    return *pageFile_;
}

std::optional<std::string> LocalLinks::replacement(std::string_view link, LinkRole role, bool inMarkup) {
    if (KeptAsWritten(link)) return std::nullopt;
    const Admission& admission = admission_.classify(baseUrl_, link, role);
    if (admission.url.empty()) return std::nullopt;
    if (admission.kind != Admission::None || queue_.holds(admission.url)) return localForm(admission.url, link);
    if (!inMarkup || isAbsolute(link)) return std::nullopt;
    const std::string_view target = StripFragment(link);
    return writable(withoutCredentials(MakeRelativeURL(baseUrl_, target)) + std::string(link.substr(target.size())));
}

std::optional<std::string> LocalLinks::localForm(const std::string& url, std::string_view link) const {
    // The fragment names a place in the file, not another file.
    const std::string_view target = StripFragment(link);
    const std::string_view fragment = link.substr(target.size());
    const std::string file = MakePath(url, kPrimaryFolder, false, drives_);
    if (!relative_ && (link.starts_with('/') || isAbsolute(link))) return FileURL(file).append(writable(fragment));
    const std::string path = relativePath(pageFile(), file);
    // A link that a browser already reads as its file is left byte for byte
    // as the page has it; a query would be cut off by the browser.
    if (target.find('?') == std::string_view::npos && UnURLEncode(target) == path) return std::nullopt;
    return PercentEncodePath(path).append(writable(fragment));
}

}  // namespace gleanery
