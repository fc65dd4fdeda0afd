// A failing statement is skipped and its routine goes on with the next one;
// the report names the module and routine, and a presenter can ask for a retry.
#include <gtest/gtest.h>

#include <stdexcept>

#include "support/failure.h"

namespace gleanery {
namespace {

TEST(FailureConvention, FailingStatementIsSkippedAndTheRoutineGoesOn) {
    const Routine step{"frmGeneralRobot", "cmdBegin_Click"};
    int value = 1;
    std::vector<int> ran;
    const bool first = step([&] {
        ran.push_back(1);
        throw std::runtime_error("disk on fire");
        value = 2;  // never reached: the variable keeps its previous value
    });
    const bool second = step([&] { ran.push_back(2); });
    EXPECT_FALSE(first);
    EXPECT_TRUE(second);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    EXPECT_EQ(frmDebug::lastReport().module, "frmGeneralRobot");
    EXPECT_EQ(frmDebug::lastReport().routine, "cmdBegin_Click");
    EXPECT_EQ(frmDebug::lastReport().description, "disk on fire");
}

TEST(FailureConvention, RetryRunsTheStatementAgain) {
    int calls = 0;
    frmDebug::setPresenter([&](const FailureReport&) { return calls < 3; });
    const Routine step{"frmDisplay", "Display"};
    EXPECT_FALSE(step([&] {
        ++calls;
        throw std::runtime_error("again");
    }));
    EXPECT_EQ(calls, 3);
    calls = 0;
    EXPECT_TRUE(step([&] {
        if (++calls < 2) throw std::runtime_error("once");
    }));
    EXPECT_EQ(calls, 2);
    frmDebug::setPresenter(nullptr);
}

TEST(FailureConvention, SilentSkipReportsNothingAndAReportGoesOnWithoutAPresenter) {
    EXPECT_FALSE(frmDebug::Display("none", "none"));
    EXPECT_FALSE(skipSilently([] { throw std::logic_error("quiet"); }));
    EXPECT_EQ(frmDebug::lastReport().routine, "none");
}

}  // namespace
}  // namespace gleanery
