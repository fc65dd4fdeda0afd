#pragma once
// Byte-string helpers. Case folding touches ASCII letters only, so multi-byte
// characters pass through unchanged.

#include <cstdint>
#include <string>
#include <string_view>

namespace gleanery {

std::string asciiUpper(std::string_view s);
std::string asciiLower(std::string_view s);
bool equalsNoCase(std::string_view a, std::string_view b);
bool startsWithNoCase(std::string_view s, std::string_view prefix);
// Position of the first occurrence of needle at or after from, ignoring ASCII case.
std::size_t findNoCase(std::string_view haystack, std::string_view needle, std::size_t from = 0);

// A space, tab, line break, form feed or vertical tab: what separates words
// and attributes in a page.
inline bool isBlankByte(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The value of a hexadecimal digit in either case; -1 for any other byte.
inline int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Leading and trailing blanks (spaces) removed.
std::string trimBlanks(std::string_view s);

// The job window's cleaner for values read from a setup file: the text before
// the first NUL, without leading and trailing blanks.
std::string cleanFieldValue(std::string_view s);

// The shared cleaner for program settings and registry texts: blanks trimmed,
// only codes 28..126 kept, blanks trimmed again.
std::string CleanString(std::string_view s);

// The number at the start of a text, as the job's counters and limits are
// read: leading blanks skipped, an optional sign, digits, an optional
// fraction and exponent; text that does not start with a number gives 0.
double numericValue(std::string_view s);

// A whole number written in plain decimal.
std::string decimal(std::int64_t n);
// A number written in its shortest form that reads back exactly ("0.25", "3").
std::string plainNumber(double n);

// True when the length of the file can be read.
bool FileExists(const std::string& path);

}  // namespace gleanery
