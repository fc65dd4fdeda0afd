#pragma once
// The job's page and file extensions as the text searches use them.

#include <string>
#include <vector>

namespace gleanery {

class SettingsView;

// txtPageTypes split at single spaces, then txtFileTypes and txtFileTypesNon
// joined by a space with each pair of spaces made one (in one pass from the
// left) and split likewise; upper-cased, each entry once. Two spaces in a row
// in a list leave an empty entry, which stands for every word; an empty list
// has no entries.
std::vector<std::string> ExtensionEntries(const SettingsView& settings);

}  // namespace gleanery
