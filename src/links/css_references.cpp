#include "links/css_references.h"

#include <algorithm>

#include "support/text.h"

namespace gleanery {

namespace {

std::size_t skipBlanks(std::string_view s, std::size_t p, std::size_t end) {
    while (p < end && isBlankByte(s[p])) ++p;
    return p;
}

// The address that starts at p (after blanks): a quoted string, or an
// unquoted run up to a blank or closer. Returns [begin, end) and where the
// search goes on.
struct Address {
    std::size_t begin, end, next;
};

Address addressAt(std::string_view css, std::size_t p, std::size_t end, bool unquotedAllowed) {
    if (p < end && (css[p] == '"' || css[p] == '\'')) {
        const std::size_t close = std::min(css.find(css[p], p + 1), end);
        std::size_t b = skipBlanks(css, p + 1, close), e = close;
        while (e > b && isBlankByte(css[e - 1])) --e;
        return {b, e, std::min(close + 1, end)};
    }
    if (!unquotedAllowed) return {p, p, p};
    std::size_t e = p;
    while (e < end && css[e] != ')' && !isBlankByte(css[e])) ++e;
    return {p, e, e};
}

}  // namespace

void ForEachCssReference(std::string_view css, std::size_t begin, std::size_t end,
                         const std::function<void(std::size_t, std::size_t)>& visit) {
    const std::string_view area = css.substr(0, end);
    std::size_t url = findNoCase(area, "url(", begin), import = findNoCase(area, "@import", begin);
    while (url != std::string_view::npos || import != std::string_view::npos) {
        Address a;
        if (url < import) {
            a = addressAt(css, skipBlanks(css, url + 4, end), end, true);
        } else {
            // "@import url(...)" is left to the url( search.
            a = addressAt(css, skipBlanks(css, import + 7, end), end, false);
            a.next = std::max(a.next, import + 7);
        }
        if (a.begin < a.end) visit(a.begin, a.end);
        if (url < a.next) url = findNoCase(area, "url(", a.next);
        if (import < a.next) import = findNoCase(area, "@import", a.next);
    }
}

}  // namespace gleanery
