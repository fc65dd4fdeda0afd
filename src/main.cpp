#include <QCoreApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/headless_run.h"
#ifdef GLEANERY_HAS_WINDOWS
#include "shell/windows_run.h"
#endif

int main(int argc, char** argv) {
    using namespace gleanery;
    const CommandLine cl = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (cl.action) {
    case CommandLine::Action::Help: std::fputs(kUsage, stdout); return 0;
    case CommandLine::Action::Version:
        std::printf("Gleanery %d.%d.%d\n", GLEANERY_VERSION_MAJOR, GLEANERY_VERSION_MINOR, GLEANERY_VERSION_PATCH);
        return 0;
    case CommandLine::Action::Invalid:
        std::fprintf(stderr, "gleanery: %s\n\n%s", cl.error.c_str(), kUsage);
        return kExitUsage;
    case CommandLine::Action::Begin:
    case CommandLine::Action::Resume: {
        QCoreApplication app(argc, argv);
        return runHeadless(cl);
    }
    case CommandLine::Action::Windows:
#ifdef GLEANERY_HAS_WINDOWS
        return runWindows(argc, argv, cl);
#else
        std::fprintf(stderr, "gleanery: this build has no windows; run a job with --begin or --resume.\n\n%s", kUsage);
        return kExitUsage;
#endif
    }
    return kExitUsage;
}
