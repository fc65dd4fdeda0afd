#include "engine/scan_notices.h"

#include "engine/scan_controller.h"
#include "support/messages.h"

namespace gleanery {

void showScanNotices(ScanController& scan, Messages& messages, Qt::ConnectionType connection) {
    auto tell = [&messages](const std::string& text, const std::string& title = kAppTitle) {
        messages.inform(text, title);
    };
    QObject::connect(
        &scan, &ScanController::refused, &scan, [tell](const QString& reason) { tell(reason.toStdString()); },
        connection);
    QObject::connect(
        &scan, &ScanController::finished, &scan, [tell] { tell("Site Scanned"); }, connection);
    QObject::connect(
        &scan, &ScanController::storeFailed, &scan,
        [tell](const QString& description) {
            tell("The work store of this job failed: " + description.toStdString() +
                 "\nThe scan stops; Resume goes on from the last page stored.");
        },
        connection);
    QObject::connect(
        &scan, &ScanController::drivesFull, &scan,
        [tell] {
            tell("You have run out of drive space on both output drives.  Scan has been suspended.", "Gleanery Alert");
        },
        connection);
}

}  // namespace gleanery
