#include "app/headless_run.h"

#include <QCoreApplication>
#include <cstdio>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <unistd.h>

#include "app/console_messages.h"
#include "app/progress_line.h"
#include "app/stop_signals.h"
#include "engine/fetch_result_codes.h"
#include "engine/job_session.h"
#include "engine/network_fetch.h"
#include "engine/scan_notices.h"
#include "job/setup_file.h"
#include "links/url_utils.h"
#include "support/clock.h"
#include "compat/connection_limit.h"
#include "support/failure.h"

namespace gleanery {

namespace {
int usageError(const std::string& why) {
    std::fprintf(stderr, "gleanery: %s\n", why.c_str());
    return kExitUsage;
}

// The start page's failure decides first: without it the site was not scanned,
// however the scan ended.
int scanExitCode(JobSession& session) {
    const JobSettings& settings = session.settings();
    std::optional<RouteRow> start;
    skipSilently([&] { start = session.store().route(MakeURL(settings.text(Field::txtLocation), settings)); });
    if (start && start->Scanned && fetchFailed(start->Result))
        return start->Result < 0 ? kExitNetworkFailure : kExitServerError;
    return session.scan().siteScanned() ? kExitScanned : kExitStopped;
}
}  // namespace

int runHeadless(const CommandLine& cl) {
    const QFileInfo setup(QString::fromStdString(cl.setupFile));
    if (setup.exists() && (!setup.isFile() || ::access(cl.setupFile.c_str(), R_OK) != 0))
        return usageError("cannot read the setup file " + cl.setupFile);
    if (!setup.absoluteDir().exists())
        return usageError("the folder of the setup file " + cl.setupFile + " does not exist");

    ConsoleMessages messages;
    const int maxConnections = CheckConnectionLimit(true, messages);
    SystemClock clock;
    JobSession session(
        messages, clock, [](int) { return makeNetworkFetch(); }, maxConnections);
    ScanController& scan = session.scan();
    QObject::connect(&scan, &ScanController::statusChanged,
                     [&messages](const QString& status) { messages.print("Status: " + status.toStdString()); });
    showScanNotices(scan, messages, Qt::DirectConnection);

    session.open(cl.setupFile);
    if (!session.storeProblem().empty()) return kExitUsage;
    for (const auto& [key, value] : cl.settings) {
        if (!applySetupValue(session.settings(), key, value)) return usageError("no setting named " + key);
    }
    if (!session.saveOrTell()) return kExitUsage;

    ProgressLine progress(scan, ::isatty(STDERR_FILENO) == 1);
    messages.setProgressLine(&progress);
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &scan, &ScanController::stop);
    QObject::connect(&scan, &ScanController::stopped, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

    QElapsedTimer elapsed;
    elapsed.start();
    if (cl.action == CommandLine::Action::Begin)
        scan.begin();
    else
        scan.resume();
    if (scan.state() == ScanState::Idle) {
        // The scan did not start; its reason has been printed.
        const std::string location = session.settings().text(Field::txtLocation);
        session.close();
        if (location.empty()) return usageError("the job has no start address (set txtLocation)");
        return IsWebAddress(location) ? kExitStopped : kExitUsage;
    }
    QCoreApplication::exec();
    progress.breakLine();
    messages.print(ProgressLine::format(scan.progress(), scan.statistics().queued, double(elapsed.elapsed()) / 1000.0));
    const int exitCode = scanExitCode(session);
    session.close();
    return exitCode;
}

}  // namespace gleanery
