#pragma once
// The settings of one scan job: every field of the job window by its field
// name, with its kind, caption, default and place in the window's control
// order. Every reader asks for a value at the moment it needs it, so a change
// made in the window takes effect at the next read, also during a scan.

#include <QObject>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "job/setting_controls.h"
#include "support/settings_view.h"
#include "support/text_hash.h"

namespace gleanery {

class JobSettings : public QObject, public SettingsView {
    Q_OBJECT
public:
    // maxConnections fills cboConnections with "2" .. maxConnections and
    // chooses the last item, as the job window does when it loads.
    explicit JobSettings(int maxConnections = 10, QObject* parent = nullptr);

    // Every setting control in the window's control order.
    const std::vector<FieldSpec>& controls() const;
    // The description of a field (a group member by its index); nullptr when unknown.
    const FieldSpec* find(std::string_view name, int index = -1) const;

    // SettingsView: the typed accessors (the by-name overrides are below).
    using SettingsView::checked;
    using SettingsView::listIndex;
    using SettingsView::listText;
    using SettingsView::selectedOption;
    using SettingsView::text;

    void setText(TextKey field, std::string value) { setText(field.name, std::move(value)); }
    void setChecked(CheckKey field, bool on, int index = -1) { setChecked(field.name, on, index); }
    // Selecting one member of an option group deselects the others.
    void selectOption(OptionKey group, int index) { selectOption(group.name, index); }
    // Deselects one member and leaves the others as they are, so a group can
    // end up with nothing selected (as a setup file may say).
    void deselectOption(OptionKey group, int index) { deselectOption(group.name, index); }
    // An index outside the list is refused (returns false).
    bool setListIndex(ListKey field, int index) { return setListIndex(field.name, index); }
    const std::vector<std::string>& listItems(ListKey field) const { return listItems(field.name); }
    // Refills cboConnections ("2" .. maxConnections) and chooses the last item.
    void fillConnections(int maxConnections);

    // chkRelative is enabled only while chkTranslate is ticked.
    bool isEnabled(const FieldSpec& control) const;

    // The stored form of a control's value ("0"/"1", "True"/"False", a list index or the text).
    std::string storedValue(const FieldSpec& control) const;

private:
    // What the keys reach; nobody outside reads or writes by name.
    const std::string& text(std::string_view field) const override;
    bool checked(std::string_view field, int index = -1) const override;
    int selectedOption(std::string_view group) const override;
    int listIndex(std::string_view field) const override;
    std::string listText(std::string_view field) const override;
    void setText(std::string_view field, std::string value);
    void setChecked(std::string_view field, bool on, int index = -1);
    void selectOption(std::string_view group, int index);
    void deselectOption(std::string_view group, int index);
    bool setListIndex(std::string_view field, int index);
    const std::vector<std::string>& listItems(std::string_view field) const;

signals:
    // A value changed: the field's name and its member index (-1 for none).
    void changed(const QString& field, int index);
    // The enabled state of a field changed.
    void enabledChanged(const QString& field, bool enabled);

private:
    struct Value {
        std::string text;
        bool on = false;
        int listIndex = -1;
    };
    // One field by name: a plain field has one member, a group one per index.
    struct Slot {
        FieldKind kind = FieldKind::Text;
        std::vector<std::size_t> controls;  // position in controls_ of each member
        std::vector<Value> members;
        std::vector<std::string> items;  // lists only
    };
    void add(FieldSpec control);
    Slot* field(std::string_view name, FieldKind kind);
    const Slot* field(std::string_view name, FieldKind kind) const;
    Value* member(std::string_view name, int index, FieldKind kind);
    const Value* member(std::string_view name, int index, FieldKind kind) const;
    void emitChanged(std::string_view name, int index);

    std::vector<FieldSpec> controls_;
    std::unordered_map<std::string, Slot, TextHash, std::equal_to<>> fields_;
    bool relativeEnabled_ = true;
};

}  // namespace gleanery
