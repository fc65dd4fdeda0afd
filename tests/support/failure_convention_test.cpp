// A failing statement is skipped and its routine goes on with the next one;
// the report names the module and routine, and a presenter can ask for a retry.
#include <gtest/gtest.h>

#include <stdexcept>

#include "support/failure.h"

namespace gleanery {
namespace {

TEST(FailureConvention, FailingStatementIsSkippedAndTheRoutineGoesOn) {
    const Routine step{"frmGeneralRobot", "cmdBegin_Click"};
    std::vector<int> ran;
    EXPECT_FALSE(step([&] {
        ran.push_back(1);
        throw std::runtime_error("disk on fire");
        ran.push_back(0);  // never reached
    }));
    EXPECT_TRUE(step([&] { ran.push_back(2); }));
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    const FailureReport& report = frmDebug::lastReport();
    EXPECT_EQ(report.module + "::" + report.routine + ": " + report.description,
              "frmGeneralRobot::cmdBegin_Click: disk on fire");
    // A silent skip reports nothing; a report without a presenter goes on.
    EXPECT_FALSE(skipSilently([] { throw std::logic_error("quiet"); }));
    EXPECT_EQ(frmDebug::lastReport().routine, "cmdBegin_Click");
    EXPECT_FALSE(frmDebug::Display("none", "none"));
}

TEST(FailureConvention, RetryRunsTheStatementAgainAsLongAsThePresenterAsks) {
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

}  // namespace
}  // namespace gleanery
