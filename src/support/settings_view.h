#pragma once
// Read access to a job's settings, for the layers below the job model: they
// read a setting at the moment they need it, by its typed key
// (settings.text(Field::txtLocation)), so a misspelt name does not compile.

#include <string>
#include <string_view>

#include "support/setting_fields.h"

namespace gleanery {

class SettingsView {
public:
    virtual ~SettingsView() = default;

    const std::string& text(TextKey field) const { return text(field.name); }
    // A check box; index selects a member of a group such as chkHour.
    bool checked(CheckKey field, int index = -1) const { return checked(field.name, index); }
    // Index of the selected member of an option group (optBrowse), -1 for none.
    int selectedOption(OptionKey group) const { return selectedOption(group.name); }
    // Chosen item of a list, -1 for none, and its text ("" for none).
    int listIndex(ListKey field) const { return listIndex(field.name); }
    std::string listText(ListKey field) const { return listText(field.name); }

protected:
    // The keys' names reach the implementation; nobody outside reads by name.
    // Text of a text field ("" for an unknown name).
    virtual const std::string& text(std::string_view field) const = 0;
    virtual bool checked(std::string_view field, int index = -1) const = 0;
    virtual int selectedOption(std::string_view group) const = 0;
    virtual int listIndex(std::string_view field) const = 0;
    virtual std::string listText(std::string_view field) const = 0;
};

}  // namespace gleanery
