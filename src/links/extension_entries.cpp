#include "links/extension_entries.h"

#include <string_view>
#include <unordered_set>

#include "support/settings_view.h"
#include "support/text.h"

namespace gleanery {

namespace {

void appendEntries(std::vector<std::string>& entries, std::string_view list) {
    if (list.empty()) return;
    for (std::size_t from = 0;;) {
        const auto space = list.find(' ', from);
        entries.emplace_back(list.substr(from, space - from));
        if (space == std::string_view::npos) return;
        from = space + 1;
    }
}

std::string singleSpaced(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        out += s[i];
        if (s[i] == ' ' && i + 1 < s.size() && s[i + 1] == ' ') ++i;
    }
    return out;
}

}  // namespace

std::vector<std::string> ExtensionEntries(const SettingsView& settings) {
    std::vector<std::string> all;
    appendEntries(all, settings.text(Field::txtPageTypes));
    appendEntries(all, singleSpaced(settings.text(Field::txtFileTypes) + " " + settings.text(Field::txtFileTypesNon)));
    std::vector<std::string> entries;
    std::unordered_set<std::string> seen;
    for (std::string& entry : all) {
        entry = asciiUpper(entry);
        if (seen.insert(entry).second) entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace gleanery
