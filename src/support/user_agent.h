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

}  // namespace gleanery
