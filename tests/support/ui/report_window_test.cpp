// A trapped failure opens the report window in a diagnostic run only; the
// user's choice runs the failing statement again or skips it.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <stdexcept>

#include "common/modal_answer.h"
#include "common/scoped_environment.h"
#include "support/failure.h"
#include "support/ui/debug_window.h"

namespace gleanery {
namespace {

TEST(ReportWindowTest, RetryRunsTheStatementOnceMoreIgnoreOrClosingSkipsItAndOrdinaryRunsShowNothing) {
    const struct {
        const char* diagnostic;
        const char* answer;  // nullptr: the window is closed
        bool opens;
        int runs;
    } cases[] = {{"1", "cmdRetry", true, 2}, {"1", "cmdIgnore", true, 1}, {"1", nullptr, true, 1},
                 {"", nullptr, false, 1},    {"0", nullptr, false, 1},    {"yes", nullptr, false, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.diagnostic) + " " + (c.answer ? c.answer : "closed"));
        const test::ScopedEnvironment diagnostic("GLEANERY_DIAGNOSTIC", c.diagnostic);
        frmDebug::setPresenter(nullptr);
        installReportWindowWhenDiagnostic();
        gbRetry = true;  // a Retry answered earlier must not decide this report
        QString procedure;
        const test::ModalAnswer<frmDebugWindow> answer([&](frmDebugWindow& window) {
            procedure = window.findChild<QLineEdit*>("txtProcedure")->text();
            c.answer ? window.findChild<QPushButton*>(c.answer)->click() : void(window.close());
        });
        int runs = 0;
        const bool ranToEnd = Routine{"frmDisplay", "Display"}([&] {
            if (++runs == 1) throw std::runtime_error("first time only");
        });
        EXPECT_EQ(answer.answered(), c.opens);
        EXPECT_EQ(procedure, c.opens ? "frmDisplay::Display" : "");
        EXPECT_EQ(ranToEnd, c.runs == 2);
        EXPECT_EQ(runs, c.runs);
    }
    frmDebug::setPresenter(nullptr);
}

}  // namespace
}  // namespace gleanery
