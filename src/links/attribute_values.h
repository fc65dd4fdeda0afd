#pragma once
// The values written after attribute names such as HREF and SRC, found by
// plain text search wherever they stand: in tags, scripts or running text.

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string_view>

namespace gleanery {

// Calls visit(name, begin, end, quoted) for the value after each occurrence of one
// of the names, in order of position. names are upper-case; upper is the text
// with its ASCII letters upper-cased. A value follows its name, blanks, "="
// and blanks: in double quotes or apostrophes (blanks inside them left out),
// or unquoted up to a blank or ">". A name inside a longer word
// ("transaction"), without an "=" of its own, or whose quote is never closed
// has no value; the search goes on after each value, so that a name inside
// a value is not taken for an attribute.
void ForEachAttributeValue(
    std::string_view text, std::string_view upper, std::initializer_list<std::string_view> names,
    const std::function<void(std::string_view name, std::size_t begin, std::size_t end, bool quoted)>& visit);

}  // namespace gleanery
