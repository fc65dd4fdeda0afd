#include "engine/archive_description.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "job/job_settings.h"
#include "links/url_utils.h"
#include "support/text.h"
#include "support/user_agent.h"

namespace gleanery {
namespace {

constexpr std::array<std::string_view, 22> kCrawlSettings = {
    "txtLocation",       "txtPageTypes", "txtFileTypes",   "txtFileTypesNon",
    "txtRequired",       "chkScanExt",   "chkTunnel",      "chkAllowParameters",
    "chkPageRequisites", "cboLimit",     "txtDailyLimitK", "txtDailyLimitFiles",
    "cboConnections",    "cboMaxDepth",  "optBrowse",      "chkParallelPages",
    "chkHour",           "txtWaitMs",    "txtRateLimitK",  "chkObeyRobots",
    "chkCookies",        "chkRefresh"};

}  // namespace

std::vector<WarcField> archiveDescription(const JobSettings& settings, const std::string& jobName) {
    std::vector<WarcField> fields = {
        {"software", defaultUserAgent()},
        {"format", "WARC File Format 1.1"},
        {"conformsTo", "http://iipc.github.io/warc-specifications/specifications/warc-format/warc-1.1/"},
        {"isPartOf", jobName},
        {"http-header-user-agent", userAgentOr(settings.text(Field::txtUserAgent))},
        {"robots", settings.checked(Field::chkObeyRobots) ? "obey" : "ignore"}};
    for (const FieldSpec& control : settings.controls()) {
        if (std::find(kCrawlSettings.begin(), kCrawlSettings.end(), control.name) == kCrawlSettings.end()) continue;
        std::string value = settings.storedValue(control);
        // A start address may carry a user name and password of its own.
        if (control.name == Field::txtLocation.name) value = HidePassword(value);
        fields.push_back(
            {control.isGroupMember() ? control.name + ":" + decimal(control.index) : control.name, std::move(value)});
    }
    return fields;
}

}  // namespace gleanery
