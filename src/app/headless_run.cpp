#include "app/headless_run.h"

#include <QCoreApplication>
#include <cstdio>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <termios.h>
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

// A name for files and folders from the address's host: letters, digits,
// "." and "-" kept, anything else "_".
std::string hostName(const std::string& url) {
    std::string name(HostOf(url));
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-') c = '_';
    return name.empty() ? std::string("site") : name;
}

// A grab is a job in its folder: begun the first time, resumed after. The
// folder holds the setup file, the work store and the mirror.
std::optional<std::string> prepareGrab(CommandLine& cl) {
    if (!IsWebAddress(cl.url)) return "grab needs an http or https address, not '" + cl.url + "'";
    const std::string folder = cl.folder.empty() ? hostName(cl.url) : cl.folder;
    if (!QDir().mkpath(QString::fromStdString(folder))) return "the folder " + folder + " cannot be made";
    const std::string absolute = QFileInfo(QString::fromStdString(folder)).absoluteFilePath().toStdString();
    cl.setupFile = absolute + "/" + hostName(cl.url) + ".glf";
    const bool known = QFileInfo::exists(QString::fromStdString(cl.setupFile));
    cl.action = known ? CommandLine::Action::Resume : CommandLine::Action::Begin;
    // First, so that the options and --set given change them.
    std::vector<OptionSetting> settings = {
        {"grab", "txtLocation", cl.url}, {"grab", "txtSaveLocation", absolute}, {"grab", "txtSaveLocation2", absolute}};
    // A new job keeps no 1000 MB free-space floor, as other grabbers keep none.
    if (!known) settings.insert(settings.end(), {{"grab", "txtSpacePrimary", "1"}, {"grab", "txtSpaceSecondary", "1"}});
    cl.options.insert(cl.options.begin(), settings.begin(), settings.end());
    return std::nullopt;
}

// The password of --user: from GLEANERY_PASSWORD, or asked for on a
// terminal without showing it; never an argument, which others could read.
std::string askPassword(const std::string& user) {
    if (const char* given = std::getenv("GLEANERY_PASSWORD")) return given;
    if (::isatty(STDIN_FILENO) != 1) return {};
    std::fprintf(stderr, "Password for %s: ", user.c_str());
    termios before{};
    const bool quiet = ::tcgetattr(STDIN_FILENO, &before) == 0;
    if (quiet) {
        termios hidden = before;
        hidden.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &hidden);
    }
    std::string password;
    std::getline(std::cin, password);
    if (quiet) ::tcsetattr(STDIN_FILENO, TCSANOW, &before);
    std::fputc('\n', stderr);
    return password;
}
}  // namespace

int runHeadless(const CommandLine& given) {
    CommandLine cl = given;
    if (cl.action == CommandLine::Action::Grab) {
        if (const std::optional<std::string> why = prepareGrab(cl)) return usageError(*why);
    }
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
    if (const std::string why = applyOptionSettings(session.settings(), cl.options); !why.empty())
        return usageError(why);
    const bool namesUser =
        std::any_of(cl.options.begin(), cl.options.end(), [](const OptionSetting& s) { return s.key == "txtName"; });
    if (namesUser) session.settings().setText(Field::txtPassword, askPassword(session.settings().text(Field::txtName)));
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
