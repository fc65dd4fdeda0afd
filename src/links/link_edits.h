#pragma once
// Changes to a stored text at the places of its links; every other byte stays.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace gleanery {

// The bytes [begin, end) of the text become text.
struct LinkEdit {
    std::size_t begin, end;
    std::string text;
};

// The text with the edits made; they must be in order and disjoint.
std::string ApplyEdits(std::string_view text, const std::vector<LinkEdit>& edits);

}  // namespace gleanery
