#pragma once
// Attribute values as a browser reads them: character references such as
// "&amp;", "&#45;" or "&#x2F;" stand for the characters they name, so
// "a.php?x=1&amp;y=2" links to "a.php?x=1&y=2".

#include <string>
#include <string_view>

namespace gleanery {

// The value with every numeric reference and the named references amp, lt,
// gt, quot, apos and nbsp replaced by their characters in UTF-8. Anything
// else, an unknown name or a named one without its ";" included, stays.
std::string DecodeCharacterReferences(std::string_view value);

}  // namespace gleanery
