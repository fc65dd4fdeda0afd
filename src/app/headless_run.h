#pragma once
// A scan without windows: the same job, robot and messages as in the job
// window, with every question answered OK.

#include "app/command_line.h"

namespace gleanery {

// Exit codes of a scan without windows.
inline constexpr int kExitScanned = 0;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStopped = 3;
// The start page got no answer (a negative result code), or an error status:
// wget's codes, so that scripts tell a site that is down from one that is not there.
inline constexpr int kExitNetworkFailure = 4;
inline constexpr int kExitServerError = 8;

// Starts as the main window does, with the connection tuning (its offer is
// answered OK), then runs the job's scan to its end.
int runHeadless(const CommandLine& commandLine);

}  // namespace gleanery
