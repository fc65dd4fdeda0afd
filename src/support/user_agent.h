#pragma once
// How the program names itself to servers, unless a job says otherwise.

#include <string>

namespace gleanery {

inline const std::string& defaultUserAgent() {
    static const std::string agent = "Gleanery/" + std::to_string(GLEANERY_VERSION_MAJOR) + '.' +
                                     std::to_string(GLEANERY_VERSION_MINOR) + '.' +
                                     std::to_string(GLEANERY_VERSION_PATCH);
    return agent;
}

// What goes out for a configured name: the program's own when it is empty.
inline const std::string& userAgentOr(const std::string& configured) {
    return configured.empty() ? defaultUserAgent() : configured;
}

}  // namespace gleanery
