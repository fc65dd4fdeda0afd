#include "job/setup_file.h"

#include <cmath>
#include <vector>

#include "job/job_settings.h"
#include "support/failure.h"
#include "compat/ini_profile.h"
#include "support/text.h"

namespace gleanery {

namespace {

const char* const kSection = "SETTINGS";
// A text field's key is read with this default, so a missing line can be told
// from an empty value.
const char* const kMissing = "***BLANK***";

// The keys of a control, in the order they are written and read. Text fields
// are never group members.
std::vector<std::string> keysOf(const FieldSpec& control) {
    if (!control.isGroupMember()) return {control.name};
    return {control.name, control.name + ":" + decimal(control.index)};
}

std::string readValue(const IniFile& ini, const std::string& key, std::string_view defaultValue) {
    return cleanFieldValue(ini.get(kSection, key, defaultValue));
}

void applyValue(JobSettings& settings, const FieldSpec& control, const std::string& value) {
    switch (control.kind) {
    case FieldKind::Text: settings.setText(TextKey{control.name}, value); break;
    case FieldKind::Check: settings.setChecked(CheckKey{control.name}, value == "1", control.index); break;
    case FieldKind::Option:
        if (value == "True")
            settings.selectOption(OptionKey{control.name}, control.index);
        else
            settings.deselectOption(OptionKey{control.name}, control.index);
        break;
    case FieldKind::List: {
        const ListKey list{control.name};
        const double n = numericValue(value);
        if (n >= static_cast<double>(settings.listItems(list).size())) break;
        // A fraction rounds half to even, as an index property takes a number;
        // an index below -1 is refused like any other impossible index.
        const double index = std::nearbyint(n);
        if (index >= -1) settings.setListIndex(list, static_cast<int>(index));
        break;
    }
    }
}

void restoreControl(JobSettings& settings, const FieldSpec& control, const IniFile& ini) {
    if (control.kind == FieldKind::Text) {
        const std::string value = readValue(ini, control.name, kMissing);
        if (value != kMissing) applyValue(settings, control, value);
        return;
    }
    for (const std::string& key : keysOf(control)) {
        const std::string value = readValue(ini, key, "");
        if (!value.empty()) applyValue(settings, control, value);
    }
}

}  // namespace

void storeSettings(const JobSettings& settings, const std::string& setupFile) {
    IniFile ini(setupFile);
    for (const FieldSpec& control : settings.controls()) {
        const std::string value = settings.storedValue(control);
        for (const std::string& key : keysOf(control)) ini.set(kSection, key, value);
    }
    ini.save();
}

void restoreSettings(JobSettings& settings, const std::string& setupFile) {
    const Routine step{"frmGeneralRobot", "restoreSettings"};
    const IniFile ini(setupFile);
    for (const FieldSpec& control : settings.controls()) step([&] { restoreControl(settings, control, ini); });
}

bool applySetupValue(JobSettings& settings, const std::string& key, const std::string& value) {
    const std::string name = trimBlanks(key);
    std::vector<const FieldSpec*> readers;
    for (const FieldSpec& control : settings.controls())
        for (const std::string& k : keysOf(control))
            if (equalsNoCase(k, name)) readers.push_back(&control);
    if (readers.empty()) return false;

    IniFile line{std::string()};
    line.set(kSection, name, value);
    for (const FieldSpec* control : readers) restoreControl(settings, *control, line);
    return true;
}

std::string besideSetupFile(const std::string& setupFile, std::string_view extension) {
    constexpr std::string_view setupExtension = ".glf";
    const std::string_view name = setupFile;
    const bool isSetupFile = name.size() >= setupExtension.size() &&
                             equalsNoCase(name.substr(name.size() - setupExtension.size()), setupExtension);
    return std::string(isSetupFile ? name.substr(0, name.size() - setupExtension.size()) : name).append(extension);
}

}  // namespace gleanery
