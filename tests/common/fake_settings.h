#pragma once
// A job's settings for tests, held in maps: set only what a test needs;
// everything else reads as empty, unticked or unselected.

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "support/settings_view.h"

namespace gleanery {

class FakeSettings : public SettingsView {
public:
    FakeSettings& set(std::string_view field, std::string value) {
        texts_[std::string(field)] = std::move(value);
        return *this;
    }
    FakeSettings& tick(std::string_view field, bool on = true, int index = -1) {
        checks_[{std::string(field), index}] = on;
        return *this;
    }
    FakeSettings& select(std::string_view group, int index) {
        options_[std::string(group)] = index;
        return *this;
    }
    FakeSettings& choose(std::string_view field, int index, std::string text) {
        lists_[std::string(field)] = {index, std::move(text)};
        return *this;
    }

    using SettingsView::checked;
    using SettingsView::listIndex;
    using SettingsView::listText;
    using SettingsView::selectedOption;
    using SettingsView::text;

protected:
    const std::string& text(std::string_view field) const override {
        static const std::string empty;
        const auto it = texts_.find(field);
        return it == texts_.end() ? empty : it->second;
    }
    bool checked(std::string_view field, int index = -1) const override {
        const auto it = checks_.find({std::string(field), index});
        return it != checks_.end() && it->second;
    }
    int selectedOption(std::string_view group) const override {
        const auto it = options_.find(group);
        return it == options_.end() ? -1 : it->second;
    }
    int listIndex(std::string_view field) const override {
        const auto it = lists_.find(field);
        return it == lists_.end() ? -1 : it->second.first;
    }
    std::string listText(std::string_view field) const override {
        const auto it = lists_.find(field);
        return it == lists_.end() ? std::string() : it->second.second;
    }

private:
    std::map<std::string, std::string, std::less<>> texts_;
    std::map<std::pair<std::string, int>, bool> checks_;
    std::map<std::string, int, std::less<>> options_;
    std::map<std::string, std::pair<int, std::string>, std::less<>> lists_;
};

}  // namespace gleanery
