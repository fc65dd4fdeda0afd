#include "jobwindow/job_window.h"

#include <QCloseEvent>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>

#include "job/location_rule.h"
#include "links/link_admission.h"
#include "engine/scan_notices.h"
#include "jobwindow/select_path_window.h"
#include "jobwindow/statistics_frame.h"
#include "jobwindow/statistics_text.h"
#include "jobwindow/twip_box.h"
#include "compat/connection_limit.h"
#include "support/failure.h"

namespace gleanery {

namespace {
constexpr double kLayoutPointSize = 8;
constexpr const char* kModule = "frmGeneralRobot";
constexpr int kDesignDepthItem = 12;
}  // namespace

frmGeneralRobot::frmGeneralRobot(Messages& messages, const Clock& clock, FetchFactory makeConnection, QWidget* parent)
    : QWidget(parent),
      messages_(messages),
      session_(std::make_unique<JobSession>(messages, clock, makeConnection, kConnectionCount)),
      chooseFolder_(&frmSelectPath::Display) {
    setObjectName(QStringLiteral("frmGeneralRobot"));
    // The twip layout was drawn for an 8-point face; a larger one clips its captions.
    QFont compact = font();
    compact.setPointSizeF(kLayoutPointSize);
    setFont(compact);
    frames_ = buildSettingsFrames(session_->settings(), *this);
    frames_.txtLocation->installEventFilter(this);
    for (int i = 0; i < int(frames_.cmdSetLocation.size()); ++i)
        connect(frames_.cmdSetLocation[std::size_t(i)], &QPushButton::clicked, this,
                [this, i] { cmdSetLocation_Click(i); });

    statistics_ = new StatisticsFrame(this);
    cmdResetToday_ = button("cmdResetToday", "Reset Today", 9480, 4200, 1200, 255);
    cmdResetTotal_ = button("cmdResetTotal", "Reset Total", 10740, 4200, 1200, 255);
    cmdBegin_ = button("cmdBegin", "Begin", 9480, 4680, 1215, 375);
    cmdResume_ = button("cmdResume", "Resume", 9480, 5160, 1215, 375);
    cmdStop_ = button("cmdStop", "Stop", 9480, 5640, 1215, 375);
    QPushButton* cmdBlock = button("cmdBlock", "Block Site", 9480, 6120, 1215, 375);
    cmdBlock->hide();
    connect(cmdBlock, &QPushButton::clicked, this, [this] { blockCurrentDomain(scan().linkQueue(), messages_); });

    for (int slot = 1; slot <= kPaneCount; ++slot) {
        auto* pane = new ConnectionPane(slot, this);
        pane->hide();
        panes_[std::size_t(slot - 1)] = pane;
    }
    lblStatus_ = new QLabel(this);
    lblStatus_->setObjectName(QStringLiteral("lblStatus"));
    lblStatus_->hide();
    connectScan();
}

frmGeneralRobot::~frmGeneralRobot() = default;

QPushButton* frmGeneralRobot::button(const char* name, const char* caption, int left, int top, int width, int height) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(QString::fromUtf8(name));
    b->setGeometry(TwipBox{left, top, width, height}.pixels());
    return b;
}

void frmGeneralRobot::connectScan() {
    ScanController& s = scan();
    connect(cmdBegin_, &QPushButton::clicked, this, &frmGeneralRobot::cmdBegin_Click);
    connect(cmdResume_, &QPushButton::clicked, this, &frmGeneralRobot::cmdResume_Click);
    connect(cmdStop_, &QPushButton::clicked, this, &frmGeneralRobot::cmdStop_Click);
    connect(cmdResetToday_, &QPushButton::clicked, &s, &ScanController::resetToday);
    connect(cmdResetTotal_, &QPushButton::clicked, &s, &ScanController::resetTotal);
    connect(&s, &ScanController::stateChanged, this, [this](ScanState state) {
        showButtons(state);
        SetRunningView(state != ScanState::Idle);
    });
    connect(&s, &ScanController::statusChanged, lblStatus_, &QLabel::setText);
    connect(&s, &ScanController::statisticsChanged, this, &frmGeneralRobot::showStatistics);
    connect(&s, &ScanController::connectionTextChanged, this,
            [this](int slot, const QString& text) { pane(slot).showActivity(text); });
    connect(&s, &ScanController::downloadFinished, this, &frmGeneralRobot::showDownload);
    showScanNotices(s, messages_, Qt::QueuedConnection);

    showButtons(s.state());
    lblStatus_->setText(QString::fromStdString(s.status()));
    for (int slot = 1; slot <= kPaneCount; ++slot)
        pane(slot).showActivity(QString::fromStdString(s.connectionText(slot)));
}

void frmGeneralRobot::showStatistics() { statistics_->showStatistics(statisticsText(scan().statistics())); }

void frmGeneralRobot::Display(const std::string& setupFile) {
    Form_Load(setupFile);
    loaded_ = true;
    QWidget* frame = windowFrame();
    frame->setGeometry(twipRect(0, 0, 12000, 10260));
    show();
    frame->showMaximized();
}

void frmGeneralRobot::Form_Load(const std::string& setupFile) {
    placeHourGrid(frames_.chkHour);
    giMaxConnections_ = CheckConnectionLimit(false, messages_);
    placeConnectionPanes(panes_);
    for (ConnectionPane* p : panes_) p->fxDisp().hide();
    SetRunningView(false);

    const QString path = QFile::decodeName(QByteArray::fromStdString(setupFile));
    setWindowTitle(QStringLiteral("Gleanery Configuration (%1)").arg(path.mid(path.lastIndexOf(u'/') + 1)));

    JobSettings& settings = session_->settings();
    settings.setListIndex(Field::cboLimit, 0);
    settings.fillConnections(giMaxConnections_);
    settings.setListIndex(Field::cboMaxDepth, kDesignDepthItem);
    // Opens the work store and restores the settings, then the statistics.
    session_->open(setupFile);
    showStatistics();
}

void frmGeneralRobot::closeEvent(QCloseEvent* event) {
    if (loaded_ && scan().transfersRunning()) {
        messages_.inform("The system is still downloading... Please press the 'Stop' button.");
        event->ignore();
        return;
    }
    event->accept();
    if (!loaded_) return;
    Form_Unload();
    emit unloaded();
}

void frmGeneralRobot::Form_Unload() {
    loaded_ = false;
    // A scan paused for its limits or hours runs no transfer, so it may be
    // closed; end it as Stop would, or its restart timer would resume it in a
    // window that is gone, and its running time would not be counted.
    ScanController& s = scan();
    s.stop();
    s.pollStop();
    const Routine step{kModule, "Form_Unload"};
    step([&] { session_->close(); });
}

void frmGeneralRobot::SetRunningView(bool running) {
    cmdResetToday_->setVisible(!running);
    cmdResetTotal_->setVisible(!running);
    for (ConnectionPane* p : panes_) {
        p->setVisible(running);
        p->raise();
    }
}

void frmGeneralRobot::showButtons(ScanState state) {
    cmdBegin_->setEnabled(canStart(state));
    cmdResume_->setEnabled(canStart(state));
    cmdStop_->setEnabled(canStop(state));
}

QWidget* frmGeneralRobot::windowFrame() {
    // Hosted in the main window, the window's frame is its MDI sub-window.
    return qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
}

// A maximized window covers the viewers, so it shows the pictures itself.
void frmGeneralRobot::showDownload(int slot, const QString& file, bool display) {
    ConnectionPane& p = pane(slot);
    if (display && (windowFrame()->isMaximized() || session_->settings().checked(Field::chkThumbnail)))
        p.showThumbnail(file);
    else
        p.fxDisp().hide();
}

void frmGeneralRobot::cmdSetLocation_Click(int index) {
    const TextKey field = index == 0 ? Field::txtSaveLocation : Field::txtSaveLocation2;
    JobSettings& settings = session_->settings();
    const std::string chosen = chooseFolder_(settings.text(field), this);
    if (!chosen.empty()) settings.setText(field, chosen);
}

bool frmGeneralRobot::eventFilter(QObject* watched, QEvent* event) {
    if (watched == frames_.txtLocation && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Only a move to another control counts, not a window or menu taking the focus for a while.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            // After the focus has moved, so that the message box does not open in the middle of the move.
            QMetaObject::invokeMethod(
                this, [this] { refuseOwnSite(session_->settings(), messages_); }, Qt::QueuedConnection);
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace gleanery
