#pragma once
// Every setting of a scan job, named once. A field's name is its key in the
// setup file and after --set, so names never change. The table below also
// holds how the job window shows each field; job/setting_controls.cpp turns it into
// the window's controls, and this header turns it into typed keys:
// settings.text(Field::txtLocation), settings.checked(Field::chkHour, 5).
// A misspelt name, or asking text() of a check box, does not compile.

#include <string_view>

namespace gleanery {

enum class FieldKind { Text, Check, Option, List };

// A field's name with its kind in the type. The name refers to a string that
// outlives the key: a literal of the table below, or the name of a control
// that JobSettings holds for its whole life.
template <FieldKind K>
struct FieldKey {
    std::string_view name;
};
using TextKey = FieldKey<FieldKind::Text>;
using CheckKey = FieldKey<FieldKind::Check>;
using OptionKey = FieldKey<FieldKind::Option>;
using ListKey = FieldKey<FieldKind::List>;

// Every field in the window's control order, one row each:
//   TEXT(name, frame, caption, default text, flags)
//   CHECK(name, frame, caption, ticked, flags)
//   LIST(name, frame, caption, chosen index, items, flags)
//   OPTIONS(name, frame, captions, selected index)  one option button per caption
//   CHECKS(name, frame, captions, ticked)           one check box per caption
// Only the name is used here; the other columns are expressions that
// job/setting_controls.cpp evaluates. Flags: Shown, Hidden (only a setup file
// changes it), DigitsOnly (the window accepts only digits).
#define GLEANERY_SETTING_FIELDS(TEXT, CHECK, LIST, OPTIONS, CHECKS)                        \
    TEXT(txtLocation, kSiteFrame, "URL:", "", Shown)                                       \
    TEXT(txtName, kSiteFrame, "User Name:", "", Shown)                                     \
    TEXT(txtPassword, kSiteFrame, "Password:", "", Shown)                                  \
    TEXT(txtPageTypes, kSiteFrame, "Link Extensions:", "JSP ASP HTM HTML CGI PHP", Shown)  \
    TEXT(txtFileTypes, kSiteFrame, "Anchor Extensions:", kDefaultExtensions, Shown)        \
    TEXT(txtFileTypesNon, kSiteFrame, "Non-Anchor Extensions:", kDefaultExtensions, Shown) \
    TEXT(txtRequired, kSiteFrame, "URL Required:", "", Hidden)                             \
    CHECK(chkScanExt, kSiteFrame, "Scan By Extension", true, Shown)                        \
    CHECK(chkTunnel, kSiteFrame, "Data Tunnel", true, Shown)                               \
    CHECK(chkStorePages, kSiteFrame, "Store Pages", true, Shown)                           \
    CHECK(chkAllowParameters, kSiteFrame, "Allow Command Parameters", true, Shown)         \
    CHECK(chkPageRequisites, kSiteFrame, "Get Page Requisites", true, Shown)               \
                                                                                           \
    TEXT(txtSaveLocation, kOutputFrame, "Primary", defaultOutputFolder(), Shown)           \
    TEXT(txtSaveLocation2, kOutputFrame, "Secondary", defaultOutputFolder(), Shown)        \
    TEXT(txtSpacePrimary, kOutputFrame, "", "1000", DigitsOnly)                            \
    TEXT(txtSpaceSecondary, kOutputFrame, "", "1000", DigitsOnly)                          \
                                                                                           \
    TEXT(txtDailyLimitK, kLimitsFrame, "Daily Limit (K):*", "", DigitsOnly)                \
    TEXT(txtDailyLimitFiles, kLimitsFrame, "Daily Limit (Files):", "", DigitsOnly)         \
    LIST(cboLimit, kLimitsFrame, "Ignore Files < (K):", 0, limitItems(), Hidden)           \
    CHECK(chkTranslate, kLimitsFrame, "Convert URL's to local", true, Shown)               \
    CHECK(chkRelative, kLimitsFrame, "Relative Path", false, Hidden)                       \
    CHECK(chkDisplayDownloads, kLimitsFrame, "Display Downloaded Files", true, Shown)      \
    CHECK(chkThumbnail, kLimitsFrame, "Display Thumbnail", false, Shown)                   \
                                                                                           \
    /* filled with "2" .. the most connections allowed when the job loads */               \
    LIST(cboConnections, kScanFrame, "Server Connections:", -1, {}, Shown)                 \
    LIST(cboMaxDepth, kScanFrame, "Maximum Depth:", 12, depthItems(), Shown)               \
    OPTIONS(optBrowse, kScanFrame, kBrowseCaptions, 1)                                     \
    CHECK(chkParallelPages, kScanFrame, "Scan Pages On All Connections", false, Shown)     \
                                                                                           \
    CHECKS(chkHour, kTimeFrame, kHourCaptions, true)                                       \
                                                                                           \
    TEXT(txtUserAgent, kPoliteFrame, "User Agent:", defaultUserAgent(), Shown)             \
    TEXT(txtWaitMs, kPoliteFrame, "Wait Between Requests (ms):", "", DigitsOnly)           \
    TEXT(txtRateLimitK, kPoliteFrame, "Rate Limit (K/s):", "", DigitsOnly)                 \
    CHECK(chkObeyRobots, kPoliteFrame, "Obey robots.txt", true, Shown)                     \
    CHECK(chkCookies, kPoliteFrame, "Keep Cookies", true, Shown)                           \
    CHECK(chkRefresh, kPoliteFrame, "Refresh Changed Files", false, Shown)                 \
    CHECK(chkWarc, kPoliteFrame, "Write WARC Archive", false, Shown)                       \
    TEXT(txtWarcMaxMB, kPoliteFrame, "WARC File Size (MB):", "1000", DigitsOnly)           \
                                                                                           \
    CHECK(chkImmediate, kNoFrame, "Immediate Download", true, Hidden)                      \
    CHECK(chkLogOutput, kNoFrame, "Log Output", false, Hidden)                             \
    CHECK(chkRequiteAnchor, kNoFrame, "DL types requite Anchor", false, Hidden)            \
                                                                                           \
    /* the download statistics, kept with the settings */                                  \
    TEXT(txtDLDate, kNoFrame, "", "02/27/1971", Hidden)                                    \
    TEXT(txtDLFiles, kNoFrame, "", "0", Hidden)                                            \
    TEXT(txtDLK, kNoFrame, "", "0", Hidden)                                                \
    TEXT(txtDLTime, kNoFrame, "", "0", Hidden)                                             \
    TEXT(txtTotalFiles, kNoFrame, "", "0", Hidden)                                         \
    TEXT(txtTotalK, kNoFrame, "", "0", Hidden)                                             \
    TEXT(txtTotalTime, kNoFrame, "", "0", Hidden)                                          \
    TEXT(txtLastFileCPS, kNoFrame, "", "0", Hidden)                                        \
                                                                                           \
    TEXT(txtClean, kNoFrame, "", "Text1", Hidden)

// The typed keys: Field::txtLocation is a TextKey named "txtLocation".
namespace Field {
#define GLEANERY_KEY(kind, name) inline constexpr FieldKey<FieldKind::kind> name{#name};
#define GLEANERY_TEXT_KEY(name, ...) GLEANERY_KEY(Text, name)
#define GLEANERY_CHECK_KEY(name, ...) GLEANERY_KEY(Check, name)
#define GLEANERY_LIST_KEY(name, ...) GLEANERY_KEY(List, name)
#define GLEANERY_OPTION_KEY(name, ...) GLEANERY_KEY(Option, name)
GLEANERY_SETTING_FIELDS(GLEANERY_TEXT_KEY, GLEANERY_CHECK_KEY, GLEANERY_LIST_KEY, GLEANERY_OPTION_KEY,
                        GLEANERY_CHECK_KEY)
#undef GLEANERY_OPTION_KEY
#undef GLEANERY_LIST_KEY
#undef GLEANERY_CHECK_KEY
#undef GLEANERY_TEXT_KEY
#undef GLEANERY_KEY
}  // namespace Field

}  // namespace gleanery
