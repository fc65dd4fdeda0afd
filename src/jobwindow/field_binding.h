#pragma once
// The widget of one job setting, bound to the settings both ways: what the
// user types or clicks changes the setting at once, and a setting changed
// elsewhere (a restored setup file, a reset counter) shows in the widget.
// The widget follows the setting's enabled state too.

#include <QString>
#include <string>

class QWidget;

namespace gleanery {

class JobSettings;
struct FieldSpec;

// A line edit (digits only where the field says so), check box, option
// button or list, named after the field: "txtLocation", "chkHour(7)".
QWidget* makeBoundField(JobSettings& settings, const FieldSpec& field, QWidget* parent);

QString fieldObjectName(const std::string& name, int index = -1);

}  // namespace gleanery
