#include "links/link_admission.h"

#include <algorithm>

#include "links/link_queue.h"
#include "links/local_path.h"
#include "links/output_drives.h"
#include "links/url_utils.h"
#include "support/failure.h"
#include "support/messages.h"
#include "support/settings_view.h"
#include "support/text.h"

namespace gleanery {

namespace {

constexpr const char* kModule = "frmGeneralRobot";
constexpr auto npos = std::string_view::npos;
// Servers refuse longer addresses (nginx and Apache at 8 KB), and one
// megabyte-long URL in the store would slow every look-up that meets it.
constexpr std::size_t kMaxUrlBytes = 8192;

std::string padded(std::string_view list) {
    std::string s(1, ' ');
    s += asciiUpper(list);
    s += ' ';
    return s;
}

// A whole entry of a padded list, so that "JP" does not match "JPG".
bool listed(const std::string& paddedList, std::string_view ext) {
    std::string entry(1, ' ');
    entry.append(ext).append(1, ' ');
    return paddedList.find(entry) != std::string::npos;
}

bool isBlank(std::string_view ext) { return ext.find_first_not_of(' ') == npos; }

std::string_view afterDoubleSlash(std::string_view s) {
    const auto at = s.find("//");
    return at == npos ? s : s.substr(at + 2);
}

}  // namespace

LinkAdmission::LinkAdmission(const SettingsView& settings, const OutputDrives& drives, LinkQueue& queue)
    : settings_(settings),
      drives_(drives),
      queue_(queue),
      browse_(settings.selectedOption(Field::optBrowse)),
      scopeDomain_(GetDomain(settings.text(Field::txtLocation))),
      scopeServer_(GetServer(settings.text(Field::txtLocation))),
      required_(asciiUpper(afterDoubleSlash(settings.text(Field::txtRequired)))),
      anchorTypes_(padded(settings.text(Field::txtFileTypes))),
      otherTypes_(padded(settings.text(Field::txtFileTypesNon))),
      pageTypes_(padded(settings.text(Field::txtPageTypes))),
      anchorTakesAll_(settings.text(Field::txtFileTypes).find('*') != std::string::npos),
      otherTakesAll_(settings.text(Field::txtFileTypesNon).find('*') != std::string::npos),
      maxSlashes_(numericValue(settings.listText(Field::cboMaxDepth)) + 2),
      immediate_(settings.checked(Field::chkImmediate)),
      refresh_(settings.checked(Field::chkRefresh)) {}

const Admission& LinkAdmission::classify(std::string_view pageUrl, std::string_view link, LinkRole role) {
    if (!classifiedPage_) classifiedPage_.emplace(pageUrl);
    if (pageUrl != *classifiedPage_) return other_ = decide(pageUrl, link, role);
    Classified& known = classified_[static_cast<int>(role)];
    if (const auto found = known.find(link); found != known.end()) return found->second;
    return known.emplace(std::string(link), decide(pageUrl, link, role)).first->second;
}

Admission LinkAdmission::decide(std::string_view pageUrl, std::string_view link, LinkRole role) {
    if (link.find("mailto:") != npos) return {};
    // A link that is only a fragment names the page being parsed.
    if (link.starts_with('#')) return {};
    link = StripFragment(link);
    if (HasOtherScheme(link)) return {};

    const std::string absolute = MakeRelativeURL(pageUrl, link);
    if (absolute.size() > kMaxUrlBytes) return {};
    Admission admission{Admission::None, MakeURL(absolute, settings_)};
    // What a page needs to display comes from any host, at any depth.
    if (role == LinkRole::Form || (role != LinkRole::Requisite && !ValidLink(absolute))) return admission;
    const std::string ext = GetExtension(absolute);
    if (role == LinkRole::Requisite || isDownload(ext, role))
        admission.kind = Admission::Target;
    else if (isPage(ext) && deepEnough(admission.url))
        admission.kind = Admission::Route;
    if (admission.kind != Admission::None && blocked(admission.url)) admission.kind = Admission::None;
    return admission;
}

void LinkAdmission::HandleResult(std::string_view pageUrl, std::string_view link, LinkRole role) {
    const Admission& admission = classify(pageUrl, link, role);
    if (admission.kind == Admission::None) return;
    // A page names most of its files more than once (and the requisite pass
    // meets them again); the second time would change nothing.
    const bool target = admission.kind == Admission::Target;
    if (!(target ? admittedTargets_ : admittedRoutes_).insert(admission.url).second) return;
    if (target)
        admitTarget(pageUrl, admission.url);
    else
        admitRoute(pageUrl, admission.url);
}

bool LinkAdmission::ValidLink(std::string_view url) const {
    if (!inScope(url)) return false;
    return required_.empty() || startsWithNoCase(StripCredentials(afterDoubleSlash(url)), required_);
}

bool LinkAdmission::inScope(std::string_view url) const {
    if (browse_ == 2) return true;
    auto [known, added] = inScope_.try_emplace(std::string(HostOf(url)), false);
    if (added) {
        known->second = equalsNoCase(GetDomain(url), scopeDomain_) &&
                        (browse_ == 1 || (browse_ == 0 && equalsNoCase(GetServer(url), scopeServer_)));
    }
    return known->second;
}

bool LinkAdmission::isDownload(const std::string& ext, LinkRole role) const {
    const bool anchor = role == LinkRole::Anchor;
    if (anchor ? anchorTakesAll_ : otherTakesAll_) return true;
    return !isBlank(ext) && listed(anchor ? anchorTypes_ : otherTypes_, ext);
}

bool LinkAdmission::isPage(const std::string& ext) const {
    return ext == " " || (!isBlank(ext) && listed(pageTypes_, ext));
}

bool LinkAdmission::deepEnough(std::string_view url) const {
    return static_cast<double>(std::count(url.begin(), url.end(), '/')) <= maxSlashes_;
}

bool LinkAdmission::blocked(const std::string& url) {
    auto [known, added] = blocked_.try_emplace(std::string(HostOf(url)), false);
    if (added) known->second = BlockedSite(queue_, GetDomain(url));
    return known->second;
}

void LinkAdmission::admitTarget(std::string_view pageUrl, const std::string& url) {
    std::int64_t targetId = 0;
    // A file on either folder came from an earlier scan: it is not fetched
    // again, unless a refresh asks the server whether it changed.
    std::string file = StoredCopyOf(url, drives_);
    if (file.empty() || refresh_) {
        // Its folders are made when it is downloaded.
        if (file.empty()) file = MakePathUnder(url, freeSpaceFolder(), false);
        skipSilently([&] { targetId = queue_.insertTarget(url, std::string(pageUrl), file); });
    }
    if (immediate_) Routine{kModule, "HandleResult"}([&] { queue_.queueDownload(targetId); });
}

void LinkAdmission::admitRoute(std::string_view pageUrl, const std::string& url) {
    skipSilently([&] { queue_.insertRoute(url, std::string(pageUrl), queue_.currentPriority()); });
}

const std::string& LinkAdmission::freeSpaceFolder() {
    if (!freeSpaceFolder_) freeSpaceFolder_ = drives_.folderFor(kFolderByFreeSpace);
    return *freeSpaceFolder_;
}

bool BlockedSite(LinkQueue& queue, const std::string& domain) {
    bool blocked = false;
    Routine{kModule, "BlockedSite"}([&] { blocked = queue.isBlocked(domain); });
    return blocked;
}

void blockCurrentDomain(LinkQueue& queue, Messages& messages) {
    const std::string domain = queue.currentDomain();
    // Before the first page there is no domain to block.
    if (domain.empty() || BlockedSite(queue, domain)) return;
    if (!messages.askYesNo("Block domain '" + domain + "'?", kAppTitle)) return;
    skipSilently([&] { queue.insertBlockedSite(domain); });
}

}  // namespace gleanery
