#pragma once
// Writes every byte to a file descriptor, resuming after interruptions and
// short writes. False when the system refuses (disk full, I/O error).

#include <string_view>

namespace gleanery {

bool writeAll(int fd, std::string_view bytes);

}  // namespace gleanery
