#pragma once
// A hash for unordered containers keyed by std::string that can be searched
// with a std::string_view without building a string first.

#include <functional>
#include <string_view>

namespace gleanery {

struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

}  // namespace gleanery
