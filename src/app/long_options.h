#pragma once
// The settings people set most, as long options in the habits of other
// command-line grabbers: each maps onto setup-file keys, so that a job run
// with them behaves exactly as one set up in the job window.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gleanery {

class JobSettings;

// One setting a long option gives. A list setting's value is the item as
// shown ("8" connections), not its index as a setup file keeps it.
struct OptionSetting {
    std::string option;  // "--depth", for messages
    std::string key;     // a setup-file key
    std::string value;
    bool listItem = false;
};

struct LongOptionHelp {
    const char* usage;  // "--depth N"
    const char* text;
};

// The options with their help, in the order --help lists them.
const std::vector<LongOptionHelp>& longOptionHelp();

// Whether option is one of ours, and whether it takes a value.
std::optional<bool> longOptionTakesValue(std::string_view option);

// The settings that the option (with its value, when it takes one) gives;
// on a bad value, error says why, naming the option.
std::vector<OptionSetting> longOptionSettings(const std::string& option, const std::string& value, std::string& error);

// Applies the settings in order; "" or why one could not be applied.
std::string applyOptionSettings(JobSettings& settings, const std::vector<OptionSetting>& given);

}  // namespace gleanery
