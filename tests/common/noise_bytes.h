#pragma once
// Bytes that hardly compress, the same for a seed on every run: archive
// members that span several reads, and output that reaches a sink before
// its member is finished.
#include <cstdint>
#include <string>

namespace gleanery::test {

inline std::string noiseBytes(std::size_t size, std::uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>((seed = seed * 1664525u + 1013904223u) >> 24);
    return bytes;
}

}  // namespace gleanery::test
