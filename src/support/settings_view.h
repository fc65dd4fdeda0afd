#pragma once
// Read access to a job's settings by field name, for the layers below the job
// model: they read a setting at the moment they need it.

#include <string>
#include <string_view>

namespace gleanery {

class SettingsView {
public:
    virtual ~SettingsView() = default;
    // Text of a text field ("" for an unknown name).
    virtual const std::string& text(std::string_view field) const = 0;
    // A check box; index selects a member of a group such as chkHour.
    virtual bool checked(std::string_view field, int index = -1) const = 0;
    // Index of the selected member of an option group (optBrowse), -1 for none.
    virtual int selectedOption(std::string_view group) const = 0;
    // Chosen item of a list, -1 for none, and its text ("" for none).
    virtual int listIndex(std::string_view field) const = 0;
    virtual std::string listText(std::string_view field) const = 0;
};

}  // namespace gleanery
