#pragma once
// The report window of the failure convention: where a trapped failure
// happened and what it was, with the choice to run the failing statement
// again, to skip it, or to end the program.
//
// It opens only in a diagnostic run: start the program with the environment
// variable GLEANERY_DIAGNOSTIC=1 and every trapped failure shows this window
// modally and waits for the choice. Otherwise failures are skipped silently.

#include <QDialog>

#include "support/failure.h"

class QLineEdit;
class QPlainTextEdit;

namespace gleanery {

// The choice made in the report window: true after Retry, false after Ignore.
extern bool gbRetry;

class frmDebugWindow : public QDialog {
    Q_OBJECT
public:
    explicit frmDebugWindow(const FailureReport& report, QWidget* parent = nullptr);

    // Ignore, and also closing the window without choosing, skips the statement.
    void reject() override;

private:
    void cmdRetry_Click();
    [[noreturn]] static void cmdExit_Click();
};

// With GLEANERY_DIAGNOSTIC=1, trapped failures open the report window and its
// answer decides between retry and skip; otherwise nothing is changed.
void installReportWindowWhenDiagnostic();

}  // namespace gleanery
