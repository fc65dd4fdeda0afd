// A trapped failure opens the report window in a diagnostic run only; the
// user's choice runs the failing statement again or skips it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <stdexcept>

#include "support/failure.h"
#include "support/ui/debug_window.h"

namespace gleanery {
namespace {

class ReportWindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        frmDebug::setPresenter(nullptr);
        hadVariable_ ? void(qputenv("GLEANERY_DIAGNOSTIC", previous_)) : void(qunsetenv("GLEANERY_DIAGNOSTIC"));
    }

    // Once the report window is open, hands it to the answer, which must close it.
    void whenReportWindowOpens(std::function<void(frmDebugWindow&)> answer, int attemptsLeft = 300) {
        QTimer::singleShot(10, &guard_, [this, answer, attemptsLeft] {
            if (auto* window = qobject_cast<frmDebugWindow*>(QApplication::activeModalWidget())) {
                ++windowsSeen;
                answer(*window);
            } else if (attemptsLeft > 0) {
                whenReportWindowOpens(answer, attemptsLeft - 1);
            }
        });
    }

    int windowsSeen = 0;

private:
    bool hadVariable_ = qEnvironmentVariableIsSet("GLEANERY_DIAGNOSTIC");
    QByteArray previous_ = qgetenv("GLEANERY_DIAGNOSTIC");
    QObject guard_;  // drops an answer still waiting when the test ends
};

TEST_F(ReportWindowTest, RetryRunsTheStatementOnceMoreIgnoreOrClosingSkipsItAndOrdinaryRunsShowNothing) {
    const struct {
        const char* diagnostic;
        const char* answer;  // nullptr: the window is closed
        int windows;
        int runs;
    } cases[] = {{"1", "cmdRetry", 1, 2}, {"1", "cmdIgnore", 1, 1}, {"1", nullptr, 1, 1},
                 {"", nullptr, 0, 1},     {"0", nullptr, 0, 1},     {"yes", nullptr, 0, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.diagnostic) + " " + (c.answer ? c.answer : "closed"));
        qputenv("GLEANERY_DIAGNOSTIC", c.diagnostic);
        frmDebug::setPresenter(nullptr);
        installReportWindowWhenDiagnostic();
        windowsSeen = 0;
        gbRetry = true;  // a Retry answered earlier must not decide this report
        QString procedure;
        whenReportWindowOpens([&](frmDebugWindow& window) {
            procedure = window.findChild<QLineEdit*>("txtProcedure")->text();
            c.answer ? window.findChild<QPushButton*>(c.answer)->click() : void(window.close());
        });
        int runs = 0;
        const bool ranToEnd = Routine{"frmDisplay", "Display"}([&] {
            if (++runs == 1) throw std::runtime_error("first time only");
        });
        EXPECT_EQ(windowsSeen, c.windows);
        EXPECT_EQ(procedure, c.windows ? "frmDisplay::Display" : "");
        EXPECT_EQ(ranToEnd, c.runs == 2);
        EXPECT_EQ(runs, c.runs);
    }
}

}  // namespace
}  // namespace gleanery
