// The command line chooses between the windows and a scan without them, and
// refuses what it cannot run with a reason.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string_view>

#include "app/command_line.h"

namespace gleanery {
namespace {

using Action = CommandLine::Action;

CommandLine parse(std::vector<std::string> args) { return parseCommandLine(args); }

TEST(CommandLineParse, ScansWithSettingsInOrder) {
    const auto cl =
        parse({"--begin", "site.glf", "--set", "txtLocation=http://a.example/?x=1", "--set", "chkHour:3=0"});
    EXPECT_EQ(cl.action, Action::Begin);
    EXPECT_EQ(cl.setupFile, "site.glf");
    ASSERT_EQ(cl.settings.size(), 2u);
    EXPECT_EQ(cl.settings[0], (std::pair<std::string, std::string>{"txtLocation", "http://a.example/?x=1"}));
    EXPECT_EQ(cl.settings[1], (std::pair<std::string, std::string>{"chkHour:3", "0"}));
    EXPECT_EQ(parse({"--resume", "x.glf"}).action, Action::Resume);
}

TEST(CommandLineParse, WindowsWithOrWithoutAJob) {
    EXPECT_EQ(parse({}).action, Action::Windows);
    const auto cl = parse({"job.glf"});
    EXPECT_EQ(cl.action, Action::Windows);
    EXPECT_EQ(cl.setupFile, "job.glf");
}

TEST(CommandLineParse, LongOptionsGiveTheirSettings) {
    using Settings = std::vector<std::pair<std::string, std::string>>;
    const auto settingsOf = [](std::vector<std::string> args) {
        args.insert(args.begin(), {"--begin", "a.glf"});
        const auto cl = parse(args);
        EXPECT_EQ(cl.action, Action::Begin) << cl.error;
        Settings given;
        for (const OptionSetting& s : cl.options) given.emplace_back(s.key, s.value);
        return given;
    };
    EXPECT_EQ(settingsOf({"--output", "/m", "--depth", "3", "--scope", "any", "--no-robots"}),
              (Settings{{"txtSaveLocation", "/m"},
                        {"txtSaveLocation2", "/m"},
                        {"cboMaxDepth", "3"},
                        {"optBrowse:2", "True"},
                        {"chkObeyRobots", "0"}}));
    const Settings hours = settingsOf({"--hours", "9-11,23"});
    ASSERT_EQ(hours.size(), 24u);
    for (std::size_t h = 0; h < 24; ++h)
        EXPECT_EQ(hours[h], (std::pair<std::string, std::string>{"chkHour:" + std::to_string(h),
                                                                 h == 9 || h == 10 || h == 23 ? "1" : "0"}));
}

TEST(CommandLineParse, GrabTakesAnAddressAndAFolder) {
    const auto grab = parse({"grab", "https://a.example/", "out", "--wait", "200"});
    EXPECT_EQ(grab.action, Action::Grab);
    EXPECT_EQ(grab.url, "https://a.example/");
    EXPECT_EQ(grab.folder, "out");
    ASSERT_EQ(grab.options.size(), 1u);
    EXPECT_EQ(grab.options[0].key, "txtWaitMs");
    // A bare address grabs where no display could show the windows.
    EXPECT_EQ(parseCommandLine({"http://a.example/"}, false).action, Action::Grab);
    EXPECT_EQ(parseCommandLine({"http://a.example/"}, true).action, Action::Windows);
    EXPECT_EQ(parseCommandLine({"job.glf"}, false).action, Action::Windows);
}

// The manual page is written by hand: it must not fall behind --help.
TEST(CommandLineParse, TheManualPageDescribesEveryOption) {
    std::ifstream file(GLEANERY_TEST_FILES_DIR "/../../dist/gleanery.1");
    const std::string manual((std::istreambuf_iterator<char>(file)), {});
    ASSERT_FALSE(manual.empty());
    for (const LongOptionHelp& option : longOptionHelp()) {
        const std::string_view usage = option.usage;
        const std::string_view name = usage.substr(0, usage.find(' '));
        std::string escaped;  // troff writes "-" as "\-"
        for (const char c : name) escaped += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(manual.find(escaped), std::string::npos) << name;
    }
}

TEST(CommandLineParse, RefusesWhatItCannotRun) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--begin"},
                                                                  {"--begin", "a.glf", "--resume", "b.glf"},
                                                                  {"--begin", "a.glf", "--set"},
                                                                  {"--begin", "a.glf", "--set", "=x"},
                                                                  {"a.glf", "b.glf"},
                                                                  {"a.glf", "--set", "txtName=x"},
                                                                  {"a.glf", "--wait", "5"},
                                                                  {"grab"},
                                                                  {"grab", "u", "d", "e"},
                                                                  {"--begin", "a.glf", "grab", "u"},
                                                                  {"--begin", "a.glf", "--depth"}}) {
        const auto cl = parse(args);
        EXPECT_EQ(cl.action, Action::Invalid) << args.size();
        EXPECT_FALSE(cl.error.empty());
    }
    // A bad value is refused with the option's name.
    for (const auto& [option, value] : std::vector<std::pair<std::string, std::string>>{
             {"--scope", "world"}, {"--hours", "17-9"}, {"--hours", "25"}, {"--wait", "1s"}, {"--connections", "-3"}}) {
        const auto cl = parse({"--begin", "a.glf", option, value});
        EXPECT_EQ(cl.action, Action::Invalid) << option << " " << value;
        EXPECT_EQ(cl.error.rfind(option, 0), 0u) << cl.error;
    }
}

}  // namespace
}  // namespace gleanery
