#pragma once
// The controls of the job window that hold settings, built from the one table
// of setting fields (support/setting_fields.h).

#include <string>
#include <vector>

#include "support/setting_fields.h"

namespace gleanery {

// One control of the job window that holds a setting.
struct FieldSpec {
    std::string name;  // field name: "txtLocation", "chkHour", "optBrowse", ...
    int index = -1;    // member index within a group (chkHour 0..23, optBrowse 0..2), else -1
    FieldKind kind = FieldKind::Text;
    std::string caption;             // label or caption as the window shows it ("" when none)
    std::string frame;               // caption of the frame that holds it ("" for hidden fields outside frames)
    std::string defaultValue;        // text; "0"/"1" for a check box; "True"/"False" for an option; list index
    bool hidden = false;             // never shown in the window; only a setup file changes it
    bool digitsOnly = false;         // the window accepts only digits and Backspace
    std::vector<std::string> items;  // fixed items of a list (empty for cboConnections, filled at load)

    bool isGroupMember() const { return index >= 0; }
};

// Every setting control in the window's control order, with its default.
std::vector<FieldSpec> settingControls();

}  // namespace gleanery
