#pragma once
// Admission of the links found on a page: each becomes a page to scan (a
// route), a file to download (a target) or nothing, by the job's browsing
// scope, required prefix, extension lists, depth and blocked domains. Nothing
// is looked up before it is inserted: the work store refuses URLs it holds.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gleanery {

class LinkQueue;
class Messages;
class OutputDrives;
class SettingsView;

class LinkAdmission {
public:
    // Reads the job's settings once, when made: make one for each page (the
    // settings cannot change while a page is parsed). All three must outlive it.
    LinkAdmission(const SettingsView& settings, const OutputDrives& drives, LinkQueue& queue);

    // One candidate link found on pageUrl. anchor is true for links from HREF
    // values and bare host names: their downloads are the txtFileTypes
    // extensions, those of other links the txtFileTypesNon ones.
    void HandleResult(std::string_view pageUrl, std::string_view link, bool anchor);

    // Within the optBrowse scope of txtLocation and beginning with txtRequired.
    bool ValidLink(std::string_view url) const;

private:
    bool isDownload(const std::string& ext, bool anchor) const;
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
    std::string credentials_;  // txtName:txtPassword@ as the user typed them
    std::string required_;     // upper-cased, from after its "//"
    // Extension lists upper-cased with a space at both ends, so that a whole
    // entry is found as " EXT ".
    std::string anchorTypes_, otherTypes_, pageTypes_;
    bool anchorTakesAll_, otherTakesAll_;
    double maxSlashes_;
    bool immediate_;
    // The output folder chosen by free space, asked once per page.
    std::optional<std::string> freeSpaceFolder_;
};

// True when BlockedSites holds the domain; a store that cannot answer blocks nothing.
bool BlockedSite(LinkQueue& queue, const std::string& domain);

// The Block button: asks whether to block the domain of the page being
// scanned and blocks it on Yes.
void cmdBlock_Click(LinkQueue& queue, Messages& messages);

}  // namespace gleanery
