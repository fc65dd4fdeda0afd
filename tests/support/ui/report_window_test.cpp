// In a diagnostic run a trapped failure opens the report window, and the
// user's choice runs the failing statement again, skips it, or ends the
// program; in an ordinary run nothing is shown.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
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
        if (hadVariable_) qputenv("GLEANERY_DIAGNOSTIC", previous_);
        else qunsetenv("GLEANERY_DIAGNOSTIC");
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

    static void click(frmDebugWindow& window, const char* button) {
        window.findChild<QPushButton*>(button)->click();
    }

    int windowsSeen = 0;

private:
    bool hadVariable_ = qEnvironmentVariableIsSet("GLEANERY_DIAGNOSTIC");
    QByteArray previous_ = qgetenv("GLEANERY_DIAGNOSTIC");
    QObject guard_;  // drops an answer still waiting when the test ends
};

TEST_F(ReportWindowTest, ShowsWhatFailedWhereAndRetryRunsItOnceMoreIgnoreOrClosingSkipsIt) {
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
        QStringList shown;
        whenReportWindowOpens([&](frmDebugWindow& window) {
            shown << window.findChild<QLineEdit*>("txtProcedure")->text()
                  << window.findChild<QPlainTextEdit*>("txtErrorMessage")->toPlainText();
            if (c.answer) click(window, c.answer);
            else window.close();
        });
        const Routine step{"frmDisplay", "Display"};
        int runs = 0, value = 1;
        const bool ranToEnd = step([&] {
            if (++runs == 1) throw std::runtime_error("first time only");
            value = 2;
        });
        EXPECT_EQ(windowsSeen, 1);
        EXPECT_EQ(shown, (QStringList{"frmDisplay::Display", "Error #0 -- first time only"}));
        EXPECT_EQ(ranToEnd, c.ranToEnd);
        EXPECT_EQ(runs, c.runs);
        EXPECT_EQ(value, c.ranToEnd ? 2 : 1);
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

using ReportWindowDeathTest = ReportWindowTest;

TEST_F(ReportWindowDeathTest, ExitProgramEndsAtOnceWithoutExitHandlers) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atexit([] { std::fputs("exit handler ran", stderr); });
            frmDebugWindow window(FailureReport{"MainMenu", "MDIForm_Unload", "gone"});
            window.show();
            click(window, "cmdExit");
        },
        ::testing::ExitedWithCode(EXIT_FAILURE), ::testing::Not(::testing::HasSubstr("exit handler ran")));
}

}  // namespace
}  // namespace gleanery
