#include "support/ui/debug_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdlib>

namespace gleanery {

bool gbRetry = false;

namespace {

// A trapped failure arrives as a description only, without a number of its own.
constexpr int kReportedErrorNumber = 0;

QString fromBytes(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

template <class Box>
Box* addCaptionedBox(QGridLayout* grid, const char* caption, const char* name, const QString& content) {
    const int row = grid->rowCount();
    auto* label = new QLabel(QString::fromLatin1(caption));
    label->setObjectName(QStringLiteral("lblMisc"));
    auto* box = new Box(content);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    label->setBuddy(box);
    grid->addWidget(label, row, 0, Qt::AlignTop);
    grid->addWidget(box, row, 1);
    return box;
}

QPushButton* addButton(QHBoxLayout* row, const char* caption, const char* name) {
    auto* button = new QPushButton(QString::fromLatin1(caption));
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    row->addWidget(button);
    return button;
}

}  // namespace

frmDebugWindow::frmDebugWindow(const FailureReport& report, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDebug"));
    setWindowTitle(QStringLiteral("Gleanery Error"));

    auto* frame = new QGroupBox;
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(frame);
    addCaptionedBox<QPlainTextEdit>(grid, "Call Stack:", "txtTrace", {});
    addCaptionedBox<QLineEdit>(grid, "Routine:", "txtProcedure", fromBytes(report.module + "::" + report.routine));
    // A failure carries no line number.
    addCaptionedBox<QLineEdit>(grid, "Line #:", "txtLineNumber", {});
    addCaptionedBox<QPlainTextEdit>(grid, "Description:", "txtErrorMessage",
                                    QStringLiteral("Error #") + QString::number(kReportedErrorNumber) +
                                        QStringLiteral(" -- ") + fromBytes(report.description));

    auto* buttons = new QHBoxLayout;
    QPushButton* retry = addButton(buttons, "&Retry", "cmdRetry");
    QPushButton* ignore = addButton(buttons, "&Ignore", "cmdIgnore");
    QPushButton* exitProgram = addButton(buttons, "E&xit Program", "cmdExit");
    grid->addLayout(buttons, grid->rowCount(), 0, 1, 2);
    connect(retry, &QPushButton::clicked, this, &frmDebugWindow::cmdRetry_Click);
    connect(ignore, &QPushButton::clicked, this, &frmDebugWindow::reject);
    connect(exitProgram, &QPushButton::clicked, this, &frmDebugWindow::cmdExit_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
}

void frmDebugWindow::cmdRetry_Click() {
    gbRetry = true;
    accept();
}

void frmDebugWindow::reject() {
    gbRetry = false;
    QDialog::reject();
}

void frmDebugWindow::cmdExit_Click() {
    // At once: no close, unload or exit handler of any window may run after this.
    std::_Exit(EXIT_FAILURE);
}

void installReportWindowWhenDiagnostic() {
    if (qgetenv("GLEANERY_DIAGNOSTIC") != "1") return;
    frmDebug::setPresenter([](const FailureReport& report) {
        // Without a widget application (the command line) there is nowhere to ask.
        if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
        frmDebugWindow window(report, QApplication::activeWindow());
        window.exec();
        return gbRetry;
    });
}

}  // namespace gleanery
