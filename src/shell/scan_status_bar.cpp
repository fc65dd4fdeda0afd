#include "shell/scan_status_bar.h"

#include "engine/scan_controller.h"
#include "jobwindow/statistics_text.h"

namespace gleanery {

namespace {
const char* const kInitialTexts[3] = {"Status", "Files/Bytes/CPS", "Active Connections"};
}  // namespace

ScanStatusBar::ScanStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName("SB");
    setSizeGripEnabled(false);
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panels_[i]->setMinimumWidth(120);
        // The status takes the room the other two leave.
        addPermanentWidget(panels_[i], i == 0 ? 1 : 0);
    }
    reset();
}

QString ScanStatusBar::panelText(int panel) const { return panels_.at(static_cast<std::size_t>(panel - 1))->text(); }

void ScanStatusBar::reset() {
    for (std::size_t i = 0; i < panels_.size(); ++i) panels_[i]->setText(QString::fromUtf8(kInitialTexts[i]));
}

void ScanStatusBar::follow(const ScanController& scan) {
    connect(&scan, &ScanController::statusChanged, this,
            [this](const QString& status) { panels_[0]->setText(status); });
    connect(&scan, &ScanController::statisticsChanged, this, [this, &scan] {
        const StatisticsText text = statisticsText(scan.statistics());
        if (text.todayCps) panels_[1]->setText(QString::fromStdString(*text.todayCps));
        panels_[2]->setText(QString::fromStdString(text.activeConnections));
    });
}

void ScanStatusBar::stopFollowing(const ScanController& scan) { disconnect(&scan, nullptr, this, nullptr); }

}  // namespace gleanery
