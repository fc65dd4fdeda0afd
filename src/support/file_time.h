#pragma once
// The modification time of a stored file, which a mirror keeps as the
// server's Last-Modified so that a later refresh can ask whether it changed.

#include <cstdint>
#include <string>

namespace gleanery {

// Seconds since 1970 (UTC); -1 when the file cannot be read.
std::int64_t ModifiedTime(const std::string& path);
// False when the time cannot be set.
bool SetModifiedTime(const std::string& path, std::int64_t seconds);

}  // namespace gleanery
