#pragma once
// The published Blowfish initial values (the hexadecimal digits of pi):
// the P-array and the 1024 S-box words in their published order, first box
// first. clsBlowfish arranges the S-box words its own way when it loads them.

#include <array>
#include <cstdint>

namespace gleanery::blowfish {

extern const std::array<std::uint32_t, 18> kInitialP;
extern const std::array<std::uint32_t, 1024> kPublishedS;

}  // namespace gleanery::blowfish
