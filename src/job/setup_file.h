#pragma once
// A job's setup file: every setting of the job window as key=value lines in
// section "SETTINGS". Each control is written under its field name and, for a
// member of a group (chkHour, optBrowse), also under "name:index"; the plain
// key of a group therefore holds the value of its last member.

#include <string>
#include <string_view>

namespace gleanery {

class JobSettings;

// Writes every control in control order with one save. Other sections and
// keys already in the file are kept. Throws std::runtime_error naming the
// file when it cannot be written.
void storeSettings(const JobSettings& settings, const std::string& setupFile);

// Reads every control back; a control without a usable value keeps its
// current value, so a missing or unreadable file leaves the settings as they
// are.
void restoreSettings(JobSettings& settings, const std::string& setupFile);

// Applies one key=value as if it were the only line of a setup file ("txtName",
// "chkHour" for every hour, "chkHour:7" for one). False for a key that no
// control would read.
bool applySetupValue(JobSettings& settings, const std::string& key, const std::string& value);

// A file kept beside the setup file: its name with the setup file's own
// extension (".glf", any case) replaced by this one, so that two setup files
// in one folder never share it.
std::string besideSetupFile(const std::string& setupFile, std::string_view extension);

}  // namespace gleanery
