// The command line chooses between the windows and a scan without them, and
// refuses what it cannot run with a reason.
#include <gtest/gtest.h>

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

TEST(CommandLineParse, RefusesWhatItCannotRun) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--begin"},
                                                                  {"--begin", "a.glf", "--resume", "b.glf"},
                                                                  {"--begin", "a.glf", "--set"},
                                                                  {"--begin", "a.glf", "--set", "=x"},
                                                                  {"a.glf", "b.glf"},
                                                                  {"a.glf", "--set", "txtName=x"}}) {
        const auto cl = parse(args);
        EXPECT_EQ(cl.action, Action::Invalid) << args.size();
        EXPECT_FALSE(cl.error.empty());
    }
}

}  // namespace
}  // namespace gleanery
