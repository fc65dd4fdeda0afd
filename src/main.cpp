// The program: a scan from the command line, or the windows. The windows are
// a program of their own beside this one (gleanery-windows), so that a scan
// without windows never loads the widget and display libraries.
#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/command_line.h"
#include "app/headless_run.h"

namespace {

int openWindows(char** argv) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string windows = (self.parent_path() / "gleanery-windows").native();
    ::execv(windows.c_str(), argv);
    std::fprintf(stderr, "gleanery: the windows cannot start (%s: %s); run a job with --begin or --resume.\n\n%s",
                 windows.c_str(), std::strerror(errno), gleanery::usageText().c_str());
    return gleanery::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace gleanery;
    const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    const CommandLine cl = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), display);
    switch (cl.action) {
    case CommandLine::Action::Help: std::fputs(usageText().c_str(), stdout); return 0;
    case CommandLine::Action::Version:
        std::printf("Gleanery %d.%d.%d\n", GLEANERY_VERSION_MAJOR, GLEANERY_VERSION_MINOR, GLEANERY_VERSION_PATCH);
        return 0;
    case CommandLine::Action::Invalid:
        std::fprintf(stderr, "gleanery: %s\n\n%s", cl.error.c_str(), usageText().c_str());
        return kExitUsage;
    case CommandLine::Action::Begin:
    case CommandLine::Action::Resume:
    case CommandLine::Action::Grab: {
        // Qt's own event loop wakes once for a burst of posted events where
        // GLib's wakes once for each, and a scan posts one for every transfer.
        qputenv("QT_NO_GLIB", "1");
        QCoreApplication app(argc, argv);
        return runHeadless(cl);
    }
    case CommandLine::Action::Windows: return openWindows(argv);
    }
    return kExitUsage;
}
