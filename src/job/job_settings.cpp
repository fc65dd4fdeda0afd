#include "job/job_settings.h"

#include <QDir>
#include <QFile>
#include <utility>

#include "support/text.h"

namespace gleanery {

namespace {

const char* const kSiteFrame = "Site Parameters";
const char* const kOutputFrame = "Output Locations";
const char* const kLimitsFrame = "Download Limits / Options";
const char* const kScanFrame = "Scan Restrictions";
const char* const kTimeFrame = "Time Restrictions";

const char* const kDefaultExtensions = "JPG JPEG MPG MPEG AVI MOV ZIP GIF WMV JS";

const char* const kHourCaptions[24] = {
    "12 - 1 am", "1 - 2 am",   "2 - 3 am",  "3 - 4 am",  "4 - 5 am",   "5 - 6 am",
    "6 - 7 am",  "7 - 8 am",   "8 - 9 am",  "9 - 10 am", "10 - 11 am", "11 - 12 pm",
    "12 - 1 pm", "1 - 2 pm",   "2 - 3 pm",  "3 - 4 pm",  "4 - 5 pm",   "5 - 6 pm",
    "6 - 7 pm",  "7 - 8 pm",   "8 - 9 pm",  "9 - 10 pm", "10 - 11 pm", "11 - 12 am"};

const char* const kBrowseCaptions[3] = {"Stay Within Server", "Stay Within Domain", "None"};

std::vector<std::string> numbers(std::initializer_list<int> values) {
    std::vector<std::string> items;
    for (int v : values) items.push_back(decimal(v));
    return items;
}

std::vector<std::string> limitItems() {
    return numbers({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 20, 30, 40, 50, 100, 200, 500, 1000});
}

std::vector<std::string> depthItems() {
    return numbers({0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,  11,  12,  13,  14,  15,  16,  17,  18,
                    19, 20, 25, 30, 35, 40, 45, 50, 60, 70, 80, 90, 100, 200, 300, 400, 500, 1000});
}

std::string defaultOutputFolder() { return QFile::encodeName(QDir::homePath() + QStringLiteral("/WS")).toStdString(); }

FieldSpec textField(const char* name, const char* caption, const char* frame, std::string value, bool hidden = false,
               bool digitsOnly = false) {
    return {name, -1, FieldKind::Text, caption, frame, std::move(value), hidden, digitsOnly, {}};
}

FieldSpec checkBox(const char* name, const char* caption, const char* frame, bool ticked, bool hidden = false,
                int index = -1) {
    return {name, index, FieldKind::Check, caption, frame, ticked ? "1" : "0", hidden, false, {}};
}

FieldSpec listBox(const char* name, const char* caption, const char* frame, int chosen, std::vector<std::string> items,
               bool hidden = false) {
    return {name, -1, FieldKind::List, caption, frame, decimal(chosen), hidden, false, std::move(items)};
}

FieldSpec statistic(const char* name, const char* value) { return textField(name, "", "", value, true); }

const std::string& emptyText() {
    static const std::string empty;
    return empty;
}

}  // namespace

JobSettings::JobSettings(int maxConnections, QObject* parent) : QObject(parent) {
    const std::string output = defaultOutputFolder();

    add(textField("txtLocation", "URL:", kSiteFrame, ""));
    add(textField("txtName", "User Name:", kSiteFrame, ""));
    add(textField("txtPassword", "Password:", kSiteFrame, ""));
    add(textField("txtPageTypes", "Link Extensions:", kSiteFrame, "JSP ASP HTM HTML CGI PHP"));
    add(textField("txtFileTypes", "Anchor Extensions:", kSiteFrame, kDefaultExtensions));
    add(textField("txtFileTypesNon", "Non-Anchor Extensions:", kSiteFrame, kDefaultExtensions));
    add(textField("txtRequired", "URL Required:", kSiteFrame, "", /*hidden*/ true));
    add(checkBox("chkScanExt", "Scan By Extension", kSiteFrame, true));
    add(checkBox("chkTunnel", "Data Tunnel", kSiteFrame, true));
    add(checkBox("chkStorePages", "Store Pages", kSiteFrame, true));
    add(checkBox("chkAllowParameters", "Allow Command Parameters", kSiteFrame, true));
    add(checkBox("chkPageRequisites", "Get Page Requisites", kSiteFrame, true));

    add(textField("txtSaveLocation", "Primary", kOutputFrame, output));
    add(textField("txtSaveLocation2", "Secondary", kOutputFrame, output));
    add(textField("txtSpacePrimary", "", kOutputFrame, "1000", false, /*digitsOnly*/ true));
    add(textField("txtSpaceSecondary", "", kOutputFrame, "1000", false, /*digitsOnly*/ true));

    add(textField("txtDailyLimitK", "Daily Limit (K):*", kLimitsFrame, "", false, /*digitsOnly*/ true));
    add(textField("txtDailyLimitFiles", "Daily Limit (Files):", kLimitsFrame, "", false, /*digitsOnly*/ true));
    add(listBox("cboLimit", "Ignore Files < (K):", kLimitsFrame, 0, limitItems(), /*hidden*/ true));
    add(checkBox("chkTranslate", "Convert URL's to local", kLimitsFrame, true));
    add(checkBox("chkRelative", "Relative Path", kLimitsFrame, false, /*hidden*/ true));
    add(checkBox("chkDisplayDownloads", "Display Downloaded Files", kLimitsFrame, true));
    add(checkBox("chkThumbnail", "Display Thumbnail", kLimitsFrame, false));

    add(listBox("cboConnections", "Server Connections:", kScanFrame, -1, {}));
    add(listBox("cboMaxDepth", "Maximum Depth:", kScanFrame, 12, depthItems()));
    for (int i = 0; i < 3; ++i)
        add({"optBrowse", i, FieldKind::Option, kBrowseCaptions[i], kScanFrame, i == 1 ? "True" : "False", false,
             false, {}});

    for (int h = 0; h < 24; ++h) add(checkBox("chkHour", kHourCaptions[h], kTimeFrame, true, false, h));

    add(checkBox("chkImmediate", "Immediate Download", "", true, /*hidden*/ true));
    add(checkBox("chkLogOutput", "Log Output", "", false, /*hidden*/ true));
    add(checkBox("chkRequiteAnchor", "DL types requite Anchor", "", false, /*hidden*/ true));

    add(statistic("txtDLDate", "02/27/1971"));
    add(statistic("txtDLFiles", "0"));
    add(statistic("txtDLK", "0"));
    add(statistic("txtDLTime", "0"));
    add(statistic("txtTotalFiles", "0"));
    add(statistic("txtTotalK", "0"));
    add(statistic("txtTotalTime", "0"));
    add(statistic("txtLastFileCPS", "0"));

    add(textField("txtClean", "", "", "Text1", /*hidden*/ true));

    fillConnections(maxConnections);
}

void JobSettings::add(FieldSpec control) {
    auto [it, inserted] = fields_.try_emplace(control.name);
    Field& f = it->second;
    f.kind = control.kind;
    Value v;
    switch (control.kind) {
    case FieldKind::Text: v.text = control.defaultValue; break;
    case FieldKind::Check: v.on = control.defaultValue == "1"; break;
    case FieldKind::Option: v.on = control.defaultValue == "True"; break;
    case FieldKind::List:
        f.items = control.items;
        v.listIndex = std::stoi(control.defaultValue);
        break;
    }
    f.members.push_back(v);
    f.controls.push_back(controls_.size());
    controls_.push_back(std::move(control));
}

const std::vector<FieldSpec>& JobSettings::controls() const { return controls_; }

const JobSettings::Field* JobSettings::field(std::string_view name, FieldKind kind) const {
    const auto it = fields_.find(name);
    return it != fields_.end() && it->second.kind == kind ? &it->second : nullptr;
}

JobSettings::Field* JobSettings::field(std::string_view name, FieldKind kind) {
    return const_cast<Field*>(std::as_const(*this).field(name, kind));
}

const JobSettings::Value* JobSettings::member(std::string_view name, int index, FieldKind kind) const {
    const Field* f = field(name, kind);
    if (!f) return nullptr;
    const bool group = controls_[f->controls.front()].isGroupMember();
    if (!group) return index == -1 ? &f->members.front() : nullptr;
    if (index < 0 || static_cast<std::size_t>(index) >= f->members.size()) return nullptr;
    return &f->members[static_cast<std::size_t>(index)];
}

JobSettings::Value* JobSettings::member(std::string_view name, int index, FieldKind kind) {
    return const_cast<Value*>(std::as_const(*this).member(name, index, kind));
}

const FieldSpec* JobSettings::find(std::string_view name, int index) const {
    const auto it = fields_.find(name);
    if (it == fields_.end()) return nullptr;
    const Field& f = it->second;
    for (std::size_t c : f.controls)
        if (controls_[c].index == index) return &controls_[c];
    return nullptr;
}

void JobSettings::emitChanged(std::string_view name, int index) {
    emit changed(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())), index);
}

const std::string& JobSettings::text(std::string_view name) const {
    const Value* v = member(name, -1, FieldKind::Text);
    return v ? v->text : emptyText();
}

bool JobSettings::checked(std::string_view name, int index) const {
    const Value* v = member(name, index, FieldKind::Check);
    return v && v->on;
}

int JobSettings::selectedOption(std::string_view group) const {
    const Field* f = field(group, FieldKind::Option);
    if (!f) return -1;
    for (std::size_t i = 0; i < f->members.size(); ++i)
        if (f->members[i].on) return static_cast<int>(i);
    return -1;
}

int JobSettings::listIndex(std::string_view name) const {
    const Value* v = member(name, -1, FieldKind::List);
    return v ? v->listIndex : -1;
}

std::string JobSettings::listText(std::string_view name) const {
    const Field* f = field(name, FieldKind::List);
    if (!f) return {};
    const int i = f->members.front().listIndex;
    return i >= 0 && static_cast<std::size_t>(i) < f->items.size() ? f->items[static_cast<std::size_t>(i)]
                                                                     : std::string();
}

const std::vector<std::string>& JobSettings::listItems(std::string_view name) const {
    static const std::vector<std::string> none;
    const Field* f = field(name, FieldKind::List);
    return f ? f->items : none;
}

void JobSettings::setText(std::string_view name, std::string value) {
    Value* v = member(name, -1, FieldKind::Text);
    if (!v || v->text == value) return;
    v->text = std::move(value);
    emitChanged(name, -1);
}

void JobSettings::setChecked(std::string_view name, bool on, int index) {
    Value* v = member(name, index, FieldKind::Check);
    if (!v || v->on == on) return;
    v->on = on;
    emitChanged(name, index);
    if (name == "chkTranslate" && relativeEnabled_ != on) {
        relativeEnabled_ = on;
        emit enabledChanged(QStringLiteral("chkRelative"), on);
    }
}

void JobSettings::selectOption(std::string_view group, int index) {
    Field* f = field(group, FieldKind::Option);
    if (!f || !member(group, index, FieldKind::Option)) return;
    for (std::size_t i = 0; i < f->members.size(); ++i) {
        const bool on = static_cast<int>(i) == index;
        if (f->members[i].on == on) continue;
        f->members[i].on = on;
        emitChanged(group, static_cast<int>(i));
    }
}

void JobSettings::deselectOption(std::string_view group, int index) {
    Value* v = member(group, index, FieldKind::Option);
    if (!v || !v->on) return;
    v->on = false;
    emitChanged(group, index);
}

bool JobSettings::setListIndex(std::string_view name, int index) {
    Field* f = field(name, FieldKind::List);
    if (!f || index < -1 || index >= static_cast<int>(f->items.size())) return false;
    Value& v = f->members.front();
    if (v.listIndex != index) {
        v.listIndex = index;
        emitChanged(name, -1);
    }
    return true;
}

void JobSettings::fillConnections(int maxConnections) {
    Field& f = *field("cboConnections", FieldKind::List);
    std::vector<std::string> items;
    for (int n = 2; n <= maxConnections; ++n) items.push_back(decimal(n));
    const int last = static_cast<int>(items.size()) - 1;
    controls_[f.controls.front()].defaultValue = decimal(last);
    if (items == f.items && f.members.front().listIndex == last) return;
    f.items = std::move(items);
    f.members.front().listIndex = last;
    emitChanged("cboConnections", -1);
}

bool JobSettings::isEnabled(std::string_view name, int index) const {
    if (!find(name, index)) return false;
    return name != "chkRelative" || relativeEnabled_;
}

std::string JobSettings::storedValue(const FieldSpec& control) const {
    switch (control.kind) {
    case FieldKind::Text: return text(control.name);
    case FieldKind::Check: return checked(control.name, control.index) ? "1" : "0";
    case FieldKind::Option: {
        const Value* v = member(control.name, control.index, FieldKind::Option);
        return v && v->on ? "True" : "False";
    }
    case FieldKind::List: return decimal(listIndex(control.name));
    }
    return {};
}

}  // namespace gleanery
