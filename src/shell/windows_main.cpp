// The windows program, which `gleanery` starts when no scan is asked for on
// its command line.
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/headless_run.h"
#include "shell/windows_run.h"

int main(int argc, char** argv) {
    using namespace gleanery;
    const CommandLine cl = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (cl.action != CommandLine::Action::Windows) return kExitUsage;  // `gleanery` handles every other action
    return runWindows(argc, argv, cl);
}
