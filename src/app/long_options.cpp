#include "app/long_options.h"

#include <algorithm>
#include <array>

#include "job/job_settings.h"
#include "job/setup_file.h"
#include "support/text.h"

namespace gleanery {
namespace {

bool isNumber(std::string_view s) {
    return !s.empty() && s.size() <= 9 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "9-17,20-23": the hours from 9:00 to 17:00 and from 20:00 to 23:00; "22"
// alone is the hour from 22:00. Empty when the text is not such a list.
std::optional<std::array<bool, 24>> hoursOf(std::string_view text) {
    std::array<bool, 24> allowed{};
    while (!text.empty()) {
        const std::size_t comma = std::min(text.find(','), text.size());
        const std::string_view part = text.substr(0, comma);
        text.remove_prefix(std::min(comma + 1, text.size()));
        const std::size_t dash = part.find('-');
        const std::string_view first = part.substr(0, dash);
        const std::string_view last = dash == std::string_view::npos ? std::string_view() : part.substr(dash + 1);
        if (!isNumber(first) || (dash != std::string_view::npos && !isNumber(last))) return std::nullopt;
        const int from = int(numericValue(first));
        const int to = last.empty() ? from + 1 : int(numericValue(last));
        if (from > 23 || to > 24 || to <= from) return std::nullopt;
        for (int h = from; h < to; ++h) allowed[std::size_t(h)] = true;
    }
    return allowed;
}

struct Option {
    const char* name;
    const char* usage;
    const char* text;
    // The setup-file keys and, for options without a value, what they set.
    std::vector<const char*> keys;
    const char* fixedValue = nullptr;
    enum Check { Any, Number, Item, Scope, Hours } check = Any;
};

const std::vector<Option>& options() {
    static const std::vector<Option> table = {
        {"--output",
         "--output DIR",
         "where the mirror goes (both output folders)",
         {"txtSaveLocation", "txtSaveLocation2"}},
        {"--connections",
         "--connections N",
         "server connections, 2 to the most allowed",
         {"cboConnections"},
         nullptr,
         Option::Item},
        {"--depth",
         "--depth N",
         "how many links deep pages are followed (0 to 1000)",
         {"cboMaxDepth"},
         nullptr,
         Option::Item},
        {"--scope",
         "--scope server|domain|any",
         "which hosts links may lead to",
         {"optBrowse"},
         nullptr,
         Option::Scope},
        {"--require", "--require PREFIX", "follow only addresses beginning with PREFIX", {"txtRequired"}},
        {"--user", "--user NAME", "user name; the password comes from GLEANERY_PASSWORD or a prompt", {"txtName"}},
        {"--page-types", "--page-types 'EXT ...'", "extensions of pages to search for links", {"txtPageTypes"}},
        {"--file-types",
         "--file-types 'EXT ...'",
         "extensions of files to download",
         {"txtFileTypes", "txtFileTypesNon"}},
        {"--daily-limit-files",
         "--daily-limit-files N",
         "pause after N files a day",
         {"txtDailyLimitFiles"},
         nullptr,
         Option::Number},
        {"--daily-limit-k", "--daily-limit-k N", "pause after N K a day", {"txtDailyLimitK"}, nullptr, Option::Number},
        {"--hours", "--hours 9-17,20-23", "the hours in which the scan may run", {"chkHour"}, nullptr, Option::Hours},
        {"--no-requisites", "--no-requisites", "do not fetch what pages need to display", {"chkPageRequisites"}, "0"},
        {"--parallel-pages", "--parallel-pages", "scan pages on all connections", {"chkParallelPages"}, "1"},
        {"--wait", "--wait MS", "wait between two requests to one server", {"txtWaitMs"}, nullptr, Option::Number},
        {"--rate-limit",
         "--rate-limit K",
         "the most K per second, on average",
         {"txtRateLimitK"},
         nullptr,
         Option::Number},
        {"--user-agent", "--user-agent TEXT", "the name sent to servers", {"txtUserAgent"}},
        {"--no-robots", "--no-robots", "ignore robots.txt", {"chkObeyRobots"}, "0"},
        {"--no-cookies", "--no-cookies", "keep no cookies", {"chkCookies"}, "0"},
        {"--refresh", "--refresh", "ask again only for what changed since the last scan", {"chkRefresh"}, "1"},
        {"--warc", "--warc", "record every transfer in WARC files beside the setup file", {"chkWarc"}, "1"},
        {"--warc-max-mb",
         "--warc-max-mb N",
         "begin a new WARC file after N MB (1000)",
         {"txtWarcMaxMB"},
         nullptr,
         Option::Number},
    };
    return table;
}

const Option* find(std::string_view name) {
    for (const Option& o : options())
        if (name == o.name) return &o;
    return nullptr;
}

}  // namespace

const std::vector<LongOptionHelp>& longOptionHelp() {
    static const std::vector<LongOptionHelp> help = [] {
        std::vector<LongOptionHelp> h;
        for (const Option& o : options()) h.push_back({o.usage, o.text});
        return h;
    }();
    return help;
}

std::optional<bool> longOptionTakesValue(std::string_view option) {
    const Option* o = find(option);
    if (!o) return std::nullopt;
    return o->fixedValue == nullptr;
}

std::vector<OptionSetting> longOptionSettings(const std::string& option, const std::string& value, std::string& error) {
    const Option* o = find(option);
    if (!o) return {};
    const auto bad = [&](const std::string& expected) {
        error = option + " needs " + expected + ", not '" + value + "'";
        return std::vector<OptionSetting>();
    };
    std::vector<OptionSetting> given;
    switch (o->check) {
    case Option::Scope: {
        static constexpr std::string_view kScopes[] = {"server", "domain", "any"};
        const auto* scope = std::find(std::begin(kScopes), std::end(kScopes), value);
        if (scope == std::end(kScopes)) return bad("server, domain or any");
        given.push_back({option, "optBrowse:" + decimal(scope - std::begin(kScopes)), "True"});
        return given;
    }
    case Option::Hours: {
        const auto hours = hoursOf(value);
        if (!hours) return bad("hours such as 9-17,20-23");
        for (std::size_t h = 0; h < hours->size(); ++h)
            given.push_back({option, "chkHour:" + decimal(std::int64_t(h)), (*hours)[h] ? "1" : "0"});
        return given;
    }
    case Option::Number:
    case Option::Item:
        if (!isNumber(value)) return bad("a whole number");
        break;
    case Option::Any: break;
    }
    for (const char* key : o->keys)
        given.push_back({option, key, o->fixedValue ? o->fixedValue : value, o->check == Option::Item});
    return given;
}

std::string applyOptionSettings(JobSettings& settings, const std::vector<OptionSetting>& given) {
    for (const OptionSetting& s : given) {
        if (!s.listItem) {
            applySetupValue(settings, s.key, s.value);
            continue;
        }
        const ListKey list{s.key};
        const std::vector<std::string>& items = settings.listItems(list);
        const auto item = std::find(items.begin(), items.end(), s.value);
        if (item == items.end()) {
            std::string choices;
            for (const std::string& i : items) choices += (choices.empty() ? "" : " ") + i;
            return s.option + " takes one of " + choices + ", not " + s.value;
        }
        settings.setListIndex(list, int(item - items.begin()));
    }
    return {};
}

}  // namespace gleanery
