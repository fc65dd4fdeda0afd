#pragma once
// The command line: the main window, or a scan without windows.

#include <string>
#include <utility>
#include <vector>

namespace gleanery {

struct CommandLine {
    enum class Action { Windows, Begin, Resume, Help, Version, Invalid };
    Action action = Action::Windows;
    std::string setupFile;                                      // for Windows: optional job to open
    std::vector<std::pair<std::string, std::string>> settings;  // --set FIELD=VALUE, in order
    std::string error;                                          // for Invalid: what is wrong
};

CommandLine parseCommandLine(const std::vector<std::string>& args);

extern const char* const kUsage;

}  // namespace gleanery
