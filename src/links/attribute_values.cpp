#include "links/attribute_values.h"

#include <vector>

#include "support/text.h"

namespace gleanery {

namespace {

constexpr auto npos = std::string_view::npos;

bool isAsciiAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::size_t skipBlanks(std::string_view s, std::size_t p) {
    while (p < s.size() && isBlankByte(s[p])) ++p;
    return p;
}

struct Value {
    bool found;
    std::size_t begin, end, next;  // next: where the search goes on
    bool quoted = false;
};

Value valueAfter(std::string_view text, std::size_t name, std::size_t nameEnd) {
    if (name > 0 && isAsciiAlnum(text[name - 1])) return {false, 0, 0, name + 1};
    std::size_t p = skipBlanks(text, nameEnd);
    if (p >= text.size() || text[p] != '=') return {false, 0, 0, name + 1};
    p = skipBlanks(text, p + 1);
    if (p < text.size() && (text[p] == '"' || text[p] == '\'')) {
        const auto close = text.find(text[p], p + 1);
        if (close == npos) return {false, 0, 0, p + 1};
        std::size_t begin = skipBlanks(text, p + 1), end = close;
        while (end > begin && isBlankByte(text[end - 1])) --end;
        return {true, begin, end, close + 1, true};
    }
    std::size_t end = p;
    while (end < text.size() && !isBlankByte(text[end]) && text[end] != '>') ++end;
    return {true, p, end, end};
}

}  // namespace

void ForEachAttributeValue(std::string_view text, std::string_view upper, std::initializer_list<std::string_view> names,
                           const std::function<void(std::string_view, std::size_t, std::size_t, bool)>& visit) {
    // The next occurrence of each name at or after the search position; a
    // name is searched again only once the position has passed it, so every
    // name costs one scan of the page however many values there are.
    std::vector<std::size_t> next;
    for (const std::string_view name : names) next.push_back(upper.find(name));
    for (std::size_t search = 0;;) {
        std::size_t at = npos, which = 0, i = 0;
        for (const std::string_view name : names) {
            if (next[i] < search) next[i] = upper.find(name, search);
            if (next[i] < at) {
                at = next[i];
                which = i;
            }
            ++i;
        }
        if (at == npos) return;
        const std::string_view name = names.begin()[which];
        const Value v = valueAfter(text, at, at + name.size());
        if (v.found) visit(name, v.begin, v.end, v.quoted);
        search = v.next;
    }
}

}  // namespace gleanery
