// In a diagnostic run a trapped failure opens the report window, and the
// user's choice runs the failing statement again or skips it; in an ordinary
// run nothing is shown.
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
    void SetUp() override { frmDebug::setPresenter(nullptr); }
    void TearDown() override {
        frmDebug::setPresenter(nullptr);
        if (hadVariable_)
            qputenv("GLEANERY_DIAGNOSTIC", previous_);
        else
            qunsetenv("GLEANERY_DIAGNOSTIC");
    }

    void install(const char* diagnostic) {
        qputenv("GLEANERY_DIAGNOSTIC", diagnostic);
        installReportWindowWhenDiagnostic();
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

    static void click(frmDebugWindow& window, const char* button) { window.findChild<QPushButton*>(button)->click(); }

    int windowsSeen = 0;

private:
    bool hadVariable_ = qEnvironmentVariableIsSet("GLEANERY_DIAGNOSTIC");
    QByteArray previous_ = qgetenv("GLEANERY_DIAGNOSTIC");
    QObject guard_;  // drops an answer still waiting when the test ends
};

TEST_F(ReportWindowTest, RetryRunsTheFailingStatementOnceMoreIgnoreOrClosingSkipsIt) {
    install("1");
    const struct {
        const char* answer;
        bool ranToEnd;
        int runs;
    } cases[] = {{"cmdRetry", true, 2}, {"cmdIgnore", false, 1}, {nullptr, false, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer ? c.answer : "closed");
        windowsSeen = 0;
        gbRetry = true;  // a Retry answered earlier must not decide this report
        QString procedure;
        whenReportWindowOpens([&](frmDebugWindow& window) {
            procedure = window.findChild<QLineEdit*>("txtProcedure")->text();
            if (c.answer)
                click(window, c.answer);
            else
                window.close();
        });
        int runs = 0;
        const bool ranToEnd = Routine{"frmDisplay", "Display"}([&] {
            if (++runs == 1) throw std::runtime_error("first time only");
        });
        EXPECT_EQ(windowsSeen, 1);
        EXPECT_EQ(procedure, "frmDisplay::Display");
        EXPECT_EQ(ranToEnd, c.ranToEnd);
        EXPECT_EQ(runs, c.runs);
    }
}

TEST_F(ReportWindowTest, OrdinaryRunShowsNothing) {
    for (const char* setting : {"", "0", "yes"}) {
        SCOPED_TRACE(setting);
        install(setting);
        whenReportWindowOpens([](frmDebugWindow& window) { window.reject(); });
        const Routine step{"MainMenu", "Form_Load"};
        EXPECT_FALSE(step([] { throw std::runtime_error("quiet"); }));
        EXPECT_EQ(windowsSeen, 0);
    }
}

}  // namespace
}  // namespace gleanery
