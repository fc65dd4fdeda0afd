#pragma once
// The local form of one link on a stored page or stylesheet: where the mirror
// keeps what the link names, written as a URL a browser resolves to exactly
// that file; and what a link becomes when the mirror keeps nothing for it.

#include <optional>
#include <string>
#include <string_view>

#include "links/link_admission.h"

namespace gleanery {

class LinkQueue;
class OutputDrives;
class SettingsView;

// Links that name nothing the mirror stores and stay as written: the empty
// link, a fragment of the page itself, "javascript" and "mailto" (any case),
// "file:///", and any other scheme than http and https ("data:", "ftp:",
// "tel:"), which the robot never follows.
bool KeptAsWritten(std::string_view link);

// "file://" + the absolute form of path, percent-encoded by PercentEncodePath.
std::string FileURL(std::string_view path);

// Decides what the stored copy of one page (or stylesheet) writes in place
// of each of its links.
class LocalLinks {
public:
    // All of them must outlive this object. pageUrl is the URL the page was
    // fetched under, which names its stored file; links are resolved against
    // baseUrl, where a redirect led ("" when none did: pageUrl). Links are
    // classified by admission when given (the one that admits the page's
    // links, so that each is classified once), else by one of its own.
    LocalLinks(std::string_view pageUrl, const SettingsView& settings, const OutputDrives& drives, LinkQueue& queue,
               std::string_view baseUrl = {}, LinkAdmission* admission = nullptr);

    // The text to put in place of link, or nothing to keep it as written.
    // A link that the scan follows or downloads (found as role says), or
    // that the work store holds, names the file the mirror stores for it,
    // fragment kept: absolute and root-relative links by a "file://" URL, or
    // with chkRelative by the path from the page's own file; relative links
    // always by that path. Any other link in a tag's attribute (inMarkup)
    // that is not absolute becomes its absolute online URL, so that it keeps
    // working from the copy. Throws when a local path cannot be made.
    std::optional<std::string> replacement(std::string_view link, LinkRole role, bool inMarkup);

private:
    std::optional<std::string> localForm(const std::string& url, std::string_view link) const;
    // Where the page itself is stored, for links relative to it.
    const std::string& pageFile() const;

    std::string_view pageUrl_;
    std::string_view baseUrl_;
    const SettingsView& settings_;
    const OutputDrives& drives_;
    LinkQueue& queue_;
    std::optional<LinkAdmission> ownAdmission_;
    LinkAdmission& admission_;
    bool relative_;
    mutable std::optional<std::string> pageFile_;
};

}  // namespace gleanery
