#include "job/job_settings.h"

#include <utility>

#include "support/text.h"

namespace gleanery {

namespace {

const std::string& emptyText() {
    static const std::string empty;
    return empty;
}

}  // namespace

JobSettings::JobSettings(int maxConnections, QObject* parent) : QObject(parent) {
    for (FieldSpec& control : settingControls()) add(std::move(control));
    fillConnections(maxConnections);
}

void JobSettings::add(FieldSpec control) {
    auto [it, inserted] = fields_.try_emplace(control.name);
    Slot& f = it->second;
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

const JobSettings::Slot* JobSettings::field(std::string_view name, FieldKind kind) const {
    const auto it = fields_.find(name);
    return it != fields_.end() && it->second.kind == kind ? &it->second : nullptr;
}

JobSettings::Slot* JobSettings::field(std::string_view name, FieldKind kind) {
    return const_cast<Slot*>(std::as_const(*this).field(name, kind));
}

const JobSettings::Value* JobSettings::member(std::string_view name, int index, FieldKind kind) const {
    const Slot* f = field(name, kind);
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
    const Slot& f = it->second;
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
    const Slot* f = field(group, FieldKind::Option);
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
    const Slot* f = field(name, FieldKind::List);
    if (!f) return {};
    const int i = f->members.front().listIndex;
    return i >= 0 && static_cast<std::size_t>(i) < f->items.size() ? f->items[static_cast<std::size_t>(i)]
                                                                   : std::string();
}

const std::vector<std::string>& JobSettings::listItems(std::string_view name) const {
    static const std::vector<std::string> none;
    const Slot* f = field(name, FieldKind::List);
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
    if (name == Field::chkTranslate.name && relativeEnabled_ != on) {
        relativeEnabled_ = on;
        emit enabledChanged(QString::fromUtf8(Field::chkRelative.name), on);
    }
}

void JobSettings::selectOption(std::string_view group, int index) {
    Slot* f = field(group, FieldKind::Option);
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
    Slot* f = field(name, FieldKind::List);
    if (!f || index < -1 || index >= static_cast<int>(f->items.size())) return false;
    Value& v = f->members.front();
    if (v.listIndex != index) {
        v.listIndex = index;
        emitChanged(name, -1);
    }
    return true;
}

void JobSettings::fillConnections(int maxConnections) {
    Slot& f = *field(Field::cboConnections.name, FieldKind::List);
    std::vector<std::string> items;
    for (int n = 2; n <= maxConnections; ++n) items.push_back(decimal(n));
    const int last = static_cast<int>(items.size()) - 1;
    controls_[f.controls.front()].defaultValue = decimal(last);
    if (items == f.items && f.members.front().listIndex == last) return;
    f.items = std::move(items);
    f.members.front().listIndex = last;
    emitChanged(Field::cboConnections.name, -1);
}

bool JobSettings::isEnabled(const FieldSpec& control) const {
    return control.name != Field::chkRelative.name || relativeEnabled_;
}

std::string JobSettings::storedValue(const FieldSpec& control) const {
    switch (control.kind) {
    case FieldKind::Text: return text(TextKey{control.name});
    case FieldKind::Check: return checked(CheckKey{control.name}, control.index) ? "1" : "0";
    case FieldKind::Option: {
        const Value* v = member(control.name, control.index, FieldKind::Option);
        return v && v->on ? "True" : "False";
    }
    case FieldKind::List: return decimal(listIndex(ListKey{control.name}));
    }
    return {};
}

}  // namespace gleanery
