#include "shell/windows_run.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "app/headless_run.h"

#include "engine/network_fetch.h"
#include "shell/main_window.h"
#include "support/clock.h"
#include "support/ui/debug_window.h"

namespace gleanery {

int runWindows(int& argc, char** argv, const CommandLine& cl) {
    // Without a display Qt would end the program with a crash report.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr,
                     "gleanery: there is no display for the windows; grab a site with gleanery grab URL, or run a "
                     "job with --begin or --resume.\n\n%s",
                     usageText().c_str());
        return kExitUsage;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(kAppTitle));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(GLEANERY_VERSION_MAJOR).arg(GLEANERY_VERSION_MINOR).arg(GLEANERY_VERSION_PATCH));
    installReportWindowWhenDiagnostic();

    SystemClock clock;
    MainMenu window(clock, [](int) { return makeNetworkFetch(); });
    window.show();
    window.MDIForm_Load();
    if (!cl.setupFile.empty()) {
        // The job's caption, its work store and the remembered folder need the full path.
        const QString setup = QFileInfo(QFile::decodeName(QByteArray::fromStdString(cl.setupFile))).absoluteFilePath();
        window.openJob(QFile::encodeName(setup).toStdString());
    }
    return QApplication::exec();
}

}  // namespace gleanery
