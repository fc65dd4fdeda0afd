#include "support/text.h"

#include <cctype>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace gleanery {

namespace {
char up(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
char low(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
}  // namespace

std::string asciiUpper(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = up(c);
    return r;
}

std::string asciiLower(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = low(c);
    return r;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (up(a[i]) != up(b[i])) return false;
    return true;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && equalsNoCase(s.substr(0, prefix.size()), prefix);
}

std::size_t findNoCase(std::string_view haystack, std::string_view needle, std::size_t from) {
    if (needle.empty()) return from <= haystack.size() ? from : std::string_view::npos;
    if (haystack.size() < needle.size()) return std::string_view::npos;
    const char first = up(needle[0]);
    for (std::size_t i = from; i + needle.size() <= haystack.size(); ++i) {
        if (up(haystack[i]) != first) continue;
        if (equalsNoCase(haystack.substr(i, needle.size()), needle)) return i;
    }
    return std::string_view::npos;
}

std::string trimBlanks(std::string_view s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

std::string cleanFieldValue(std::string_view s) {
    const auto nul = s.find('\0');
    return trimBlanks(nul == std::string_view::npos ? s : s.substr(0, nul));
}

std::string CleanString(std::string_view s) {
    std::string kept;
    for (char c : trimBlanks(s)) {
        const auto code = static_cast<unsigned char>(c);
        if (code > 27 && code < 127) kept += c;
    }
    return trimBlanks(kept);
}

double numericValue(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    std::size_t j = i;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    const std::size_t digitsStart = j;
    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
    if (j < s.size() && s[j] == '.') {
        ++j;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
    }
    if (j == digitsStart || (j == digitsStart + 1 && s[digitsStart] == '.')) return 0;
    if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
        std::size_t k = j + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
        if (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) {
            while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) ++k;
            j = k;
        }
    }
    // The "C" locale, because Qt sets the locale from the environment (a
    // decimal comma). strtod_l rather than from_chars: a number too large for
    // a double reads as infinity, where from_chars would leave 0.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    const std::string number(s.substr(i, j - i));
    return strtod_l(number.c_str(), nullptr, cLocale);
}

std::string decimal(std::int64_t n) { return std::to_string(n); }

std::string plainNumber(double n) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
    return std::string(buffer, result.ptr);
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace gleanery
