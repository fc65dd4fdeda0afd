#include "job/setting_controls.h"

#include <QDir>
#include <QFile>
#include <span>
#include <utility>

#include "support/text.h"
#include "support/user_agent.h"

namespace gleanery {

namespace {

const char* const kSiteFrame = "Site Parameters";
const char* const kOutputFrame = "Output Locations";
const char* const kLimitsFrame = "Download Limits / Options";
const char* const kScanFrame = "Scan Restrictions";
const char* const kTimeFrame = "Time Restrictions";
const char* const kPoliteFrame = "Politeness / Archive";
const char* const kNoFrame = "";

const char* const kDefaultExtensions = "JPG JPEG MPG MPEG AVI MOV ZIP GIF WMV JS";

const char* const kHourCaptions[24] = {"12 - 1 am", "1 - 2 am", "2 - 3 am", "3 - 4 am",  "4 - 5 am",   "5 - 6 am",
                                       "6 - 7 am",  "7 - 8 am", "8 - 9 am", "9 - 10 am", "10 - 11 am", "11 - 12 pm",
                                       "12 - 1 pm", "1 - 2 pm", "2 - 3 pm", "3 - 4 pm",  "4 - 5 pm",   "5 - 6 pm",
                                       "6 - 7 pm",  "7 - 8 pm", "8 - 9 pm", "9 - 10 pm", "10 - 11 pm", "11 - 12 am"};

const char* const kBrowseCaptions[3] = {"Stay Within Server", "Stay Within Domain", "None"};

enum Flags { Shown = 0, Hidden = 1, DigitsOnly = 2 };

std::vector<std::string> numbers(std::initializer_list<int> values) {
    std::vector<std::string> items;
    for (int v : values) items.push_back(decimal(v));
    return items;
}

std::vector<std::string> limitItems() {
    return numbers({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 20, 30, 40, 50, 100, 200, 500, 1000});
}

std::vector<std::string> depthItems() {
    return numbers({0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,  13,  14,  15,  16,  17,  18,
                    19, 20, 25, 30, 35, 40, 45, 50, 60, 70, 80, 90, 100, 200, 300, 400, 500, 1000});
}

std::string defaultOutputFolder() { return QFile::encodeName(QDir::homePath() + QStringLiteral("/WS")).toStdString(); }

FieldSpec control(const char* name, FieldKind kind, const char* frame, const char* caption, std::string value,
                  int flags, int index = -1, std::vector<std::string> items = {}) {
    return {name,
            index,
            kind,
            caption,
            frame,
            std::move(value),
            (flags & Hidden) != 0,
            (flags & DigitsOnly) != 0,
            std::move(items)};
}

// One member per caption; `member(index)` gives each its stored default.
template <typename Default>
void addGroup(std::vector<FieldSpec>& all, const char* name, FieldKind kind, const char* frame,
              std::span<const char* const> captions, Default member) {
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const int index = static_cast<int>(i);
        all.push_back(control(name, kind, frame, captions[i], member(index), Shown, index));
    }
}

}  // namespace

std::vector<FieldSpec> settingControls() {
    std::vector<FieldSpec> all;
#define GLEANERY_TEXT(name, frame, caption, value, flags) \
    all.push_back(control(#name, FieldKind::Text, frame, caption, value, flags));
#define GLEANERY_CHECK(name, frame, caption, ticked, flags) \
    all.push_back(control(#name, FieldKind::Check, frame, caption, (ticked) ? "1" : "0", flags));
#define GLEANERY_LIST(name, frame, caption, chosen, items, flags) \
    all.push_back(control(#name, FieldKind::List, frame, caption, decimal(chosen), flags, -1, items));
#define GLEANERY_OPTIONS(name, frame, captions, selected) \
    addGroup(all, #name, FieldKind::Option, frame, captions, [](int i) { return i == (selected) ? "True" : "False"; });
#define GLEANERY_CHECKS(name, frame, captions, ticked) \
    addGroup(all, #name, FieldKind::Check, frame, captions, [](int) { return (ticked) ? "1" : "0"; });
    GLEANERY_SETTING_FIELDS(GLEANERY_TEXT, GLEANERY_CHECK, GLEANERY_LIST, GLEANERY_OPTIONS, GLEANERY_CHECKS)
#undef GLEANERY_CHECKS
#undef GLEANERY_OPTIONS
#undef GLEANERY_LIST
#undef GLEANERY_CHECK
#undef GLEANERY_TEXT
    return all;
}

}  // namespace gleanery
