#pragma once
// Finding a running process by the file name of its executable, and ending a
// process, through /proc.

#include <cstdint>
#include <string>
#include <string_view>

#include "support/messages.h"

namespace gleanery::ModProcesses {

inline constexpr const char* kProcRoot = "/proc";

// True when the process table can be read; otherwise the user is told.
bool CheckProcessApis(Messages& messages, const std::string& procRoot = kProcRoot);

// The lowest process identifier of this user whose executable file name
// equals sExeName, ignoring ASCII case, or 0. This process itself, zombies
// and other users' processes never match.
std::uint32_t FindProcessId(const std::string& sExeName, Messages& messages, const std::string& procRoot = kProcRoot);

// Asks the process to end (SIGTERM); nothing is reported.
void KillProcess(std::uint32_t processId);

// The part after the last "/" (or "\"); the whole path when there is none.
std::string FileNamePart(std::string_view path);

}  // namespace gleanery::ModProcesses
