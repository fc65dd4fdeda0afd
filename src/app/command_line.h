#pragma once
// The command line: the main window, or a scan without windows.

#include <string>
#include <utility>
#include <vector>

#include "app/long_options.h"

namespace gleanery {

struct CommandLine {
    enum class Action { Windows, Begin, Resume, Grab, Help, Version, Invalid };
    Action action = Action::Windows;
    std::string setupFile;                                      // for Windows: optional job to open
    std::string url, folder;                                    // for Grab; folder "" for the default
    std::vector<OptionSetting> options;                         // long options, in order
    std::vector<std::pair<std::string, std::string>> settings;  // --set FIELD=VALUE, in order, after the options
    std::string error;                                          // for Invalid: what is wrong
};

// display: a graphical session is there, so that a bare address opens no
// windows only when there is none.
CommandLine parseCommandLine(const std::vector<std::string>& args, bool display = true);

// The help text, with every long option.
const std::string& usageText();

}  // namespace gleanery
