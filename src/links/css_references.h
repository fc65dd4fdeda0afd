#pragma once
// The places where a stylesheet names another file: every url(...) and the
// quoted address of an @import, in order. Found by text search, as the links
// of pages are, so a stylesheet inside a page and a downloaded one read alike.

#include <cstddef>
#include <functional>
#include <string_view>

namespace gleanery {

// Calls visit(begin, end) for the address inside each reference within
// [begin, end) of css: without quotes and surrounding blanks, never empty.
void ForEachCssReference(std::string_view css, std::size_t begin, std::size_t end,
                         const std::function<void(std::size_t, std::size_t)>& visit);

}  // namespace gleanery
