#pragma once
// Admission of the links found on a page: each becomes a page to scan (a
// route), a file to download (a target) or nothing, by the job's browsing
// scope, required prefix, extension lists, depth and blocked domains. Nothing
// is looked up before it is inserted: the work store refuses URLs it holds.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "support/text_hash.h"

namespace gleanery {

class LinkQueue;
class Messages;
class OutputDrives;
class SettingsView;

// How a link was found on a page, which decides what it may become.
enum class LinkRole {
    Anchor,     // an HREF value or a bare host name: downloads are txtFileTypes
    Other,      // an SRC value or a word with an extension: downloads are txtFileTypesNon
    Requisite,  // something a stored page needs to display: a download from any host
    Form,       // where a form is sent: never followed
};

// What admission makes of a link: a page to scan, a file to download or
// nothing, and the URL the robot would fetch it by (empty for links that name
// no place the robot can fetch, such as "mailto:" or a fragment).
struct Admission {
    enum Kind { None, Route, Target } kind = None;
    std::string url;
};

class LinkAdmission {
public:
    // Reads the job's settings once, when made: make one for each page (the
    // settings cannot change while a page is parsed). All three must outlive it.
    LinkAdmission(const SettingsView& settings, const OutputDrives& drives, LinkQueue& queue);

    // What the link found on pageUrl becomes under the job's settings,
    // without changing the work store. Valid until the next call.
    const Admission& classify(std::string_view pageUrl, std::string_view link, LinkRole role);

    // One candidate link found on pageUrl: queued as classify says, unless
    // the work store already holds it.
    void HandleResult(std::string_view pageUrl, std::string_view link, LinkRole role);

    // Within the optBrowse scope of txtLocation and beginning with txtRequired.
    // Scheme and host compare without regard to case.
    bool ValidLink(std::string_view url) const;

private:
    using Classified = std::unordered_map<std::string, Admission, TextHash, std::equal_to<>>;

    Admission decide(std::string_view pageUrl, std::string_view link, LinkRole role);
    bool isDownload(const std::string& ext, LinkRole role) const;
    bool blocked(const std::string& url);
    bool inScope(std::string_view url) const;
    bool isPage(const std::string& ext) const;
    bool deepEnough(std::string_view url) const;
    void admitTarget(std::string_view pageUrl, const std::string& url);
    void admitRoute(std::string_view pageUrl, const std::string& url);
    const std::string& freeSpaceFolder();

    const SettingsView& settings_;
    const OutputDrives& drives_;
    LinkQueue& queue_;

    int browse_;
    std::string scopeDomain_, scopeServer_;
    std::string required_;  // upper-cased, from after its "//"
    // Extension lists upper-cased with a space at both ends, so that a whole
    // entry is found as " EXT ".
    std::string anchorTypes_, otherTypes_, pageTypes_;
    bool anchorTakesAll_, otherTakesAll_;
    double maxSlashes_;
    bool immediate_;
    bool refresh_;
    // The output folder chosen by free space, asked once per page.
    std::optional<std::string> freeSpaceFolder_;
    // What was found for each host asked about on this page: finding a
    // host's domain takes a look into the public suffix list.
    mutable std::unordered_map<std::string, bool> inScope_;
    std::unordered_map<std::string, bool> blocked_;
    // A page's links are classified when it is stored and again when they
    // are admitted: the answers for the first page asked about, by role.
    std::optional<std::string> classifiedPage_;
    Classified classified_[4];
    Admission other_;  // the answer for any other page
    // The URLs already admitted from this page.
    std::unordered_set<std::string> admittedTargets_, admittedRoutes_;
};

// True when BlockedSites holds the domain; a store that cannot answer blocks nothing.
bool BlockedSite(LinkQueue& queue, const std::string& domain);

// The Block button: asks whether to block the domain of the page being
// scanned and blocks it on Yes.
void blockCurrentDomain(LinkQueue& queue, Messages& messages);

}  // namespace gleanery
