// Daily limits and allowed hours: pausing a scan and resuming it when allowed.
#include "engine/robot.h"

#include "job/job_settings.h"
#include "support/clock.h"
#include "support/failure.h"
#include "support/text.h"

namespace gleanery {

namespace {
constexpr const char* kDayFormat = "MM/dd/yyyy";
constexpr const char* kLimitsExceeded = "Download limit(s) exceeded... Pausing scan";
constexpr const char* kHourForbidden = "Pausing scan due to time restrictions";
}  // namespace

bool Robot::CheckServerLimits(bool act) {
    const Routine step{"frmGeneralRobot", "CheckServerLimits"};
    const QDateTime now = clock_.now();
    step([&] {
        // A day that cannot be read counts as another day, so the daily
        // counters start afresh rather than pausing the scan for ever.
        const QDate stored = QDate::fromString(QString::fromStdString(settings_.text("txtDLDate")), kDayFormat);
        if (stored == now.date()) return;
        settings_.setText("txtDLDate", now.date().toString(kDayFormat).toStdString());
        for (const char* field : {"txtDLFiles", "txtDLK", "txtDLTime"}) settings_.setText(field, "0");
    });

    bool allowed = true;
    auto exceeded = [&](const char* status, int reason) {
        allowed = false;
        if (!act) return;
        stop_ = true;
        setStatus(status);
        pauseReason_ = reason;
        tmrForceCall_.stop();
        timerRestart_.start();
    };
    const std::string& limitK = settings_.text("txtDailyLimitK");
    if (!limitK.empty() && numericValue(limitK) * 1000 < numericValue(settings_.text("txtDLK")))
        exceeded(kLimitsExceeded, 1);
    const std::string& limitFiles = settings_.text("txtDailyLimitFiles");
    if (!limitFiles.empty() && numericValue(limitFiles) < numericValue(settings_.text("txtDLFiles")))
        exceeded(kLimitsExceeded, 1);
    if (!settings_.checked("chkHour", now.time().hour())) exceeded(kHourForbidden, 2);
    return act ? false : allowed;
}

void Robot::timerRestart_Timer() {
    if (CheckServerLimits(false)) {
        timerRestart_.stop();
        cmdResume_Click();
        return;
    }
    const std::string waiting =
        pauseReason_ == 1 ? "Daily limit exceeded... Waiting: " : "Paused due to time restrictions... Waiting: ";
    setStatus(waiting + clock_.now().toString("hh:mm:ss").toStdString());
}

}  // namespace gleanery
