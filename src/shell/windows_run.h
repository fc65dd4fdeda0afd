#pragma once
// The program with windows: the main window, and the job of the command line.

#include "app/command_line.h"

namespace gleanery {

// Runs the main window until it closes; its exit code.
int runWindows(int& argc, char** argv, const CommandLine& commandLine);

}  // namespace gleanery
