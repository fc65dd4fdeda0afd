#include "links/character_references.h"

#include <utility>

#include "support/text.h"

namespace gleanery {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    // What names no character reads as the replacement character, as in a browser.
    if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

int digitValue(char c, int base) {
    int d = -1;
    if (c >= '0' && c <= '9')
        d = c - '0';
    else if ((c | 32) >= 'a' && (c | 32) <= 'f')
        d = (c | 32) - 'a' + 10;
    return d < base ? d : -1;
}

// The reference at s[0] == '&': its character(s) and length, or length 0.
std::pair<std::string, std::size_t> reference(std::string_view s) {
    std::string out;
    if (s.size() > 2 && s[1] == '#') {
        const bool hex = s[2] == 'x' || s[2] == 'X';
        const int base = hex ? 16 : 10;
        std::size_t p = hex ? 3 : 2;
        const std::size_t digits = p;
        char32_t code = 0;
        for (int d; p < s.size() && (d = digitValue(s[p], base)) >= 0; ++p)
            code = code > 0x10FFFF ? code : code * char32_t(base) + char32_t(d);
        if (p == digits) return {out, 0};
        appendUtf8(out, code);
        return {out, p < s.size() && s[p] == ';' ? p + 1 : p};
    }
    static constexpr std::pair<std::string_view, char32_t> kNamed[] = {
        {"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}, {"nbsp;", 0xA0}};
    for (const auto& [name, code] : kNamed) {
        if (startsWithNoCase(s.substr(1), name)) {
            appendUtf8(out, code);
            return {out, name.size() + 1};
        }
    }
    return {out, 0};
}

}  // namespace

std::string DecodeCharacterReferences(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size();) {
        if (value[i] == '&') {
            auto [text, length] = reference(value.substr(i));
            if (length > 0) {
                out += text;
                i += length;
                continue;
            }
        }
        out += value[i++];
    }
    return out;
}

}  // namespace gleanery
