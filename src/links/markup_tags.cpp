#include "links/markup_tags.h"

#include <algorithm>
#include <string>

#include "support/text.h"

namespace gleanery {

namespace {

constexpr auto npos = std::string_view::npos;

bool isLetter(char c) { return (c | 32) >= 'a' && (c | 32) <= 'z'; }
bool endsName(char c) { return isBlankByte(c) || c == '/' || c == '>'; }

}  // namespace

MarkupTags::MarkupTags(std::string_view text) : text_(text) {
    for (std::size_t at = text.find('<'); at != npos; at = text.find('<', at)) {
        const char next = at + 1 < text.size() ? text[at + 1] : '\0';
        if (isLetter(next)) {
            at = startTag(at);
            continue;
        }
        if (next != '/' && next != '!' && next != '?') {
            ++at;  // a "<" in running text
            continue;
        }
        // A comment ends at "-->", an end tag or declaration at ">".
        const bool comment = text.substr(at, 4) == "<!--";
        const auto close = comment ? text.find("-->", at + 4) : text.find('>', at + 2);
        if (close == npos) return;
        at = close + (comment ? 3 : 1);
    }
}

// Reads the start tag at `at` and returns where the walk goes on: after the
// tag, or for <script> and <style> at their end tag.
std::size_t MarkupTags::startTag(std::size_t at) {
    const std::size_t n = text_.size();
    const std::size_t index = tags_.size();
    std::size_t p = at + 1;
    while (p < n && !endsName(text_[p])) ++p;
    MarkupTag tag{text_.substr(at + 1, p - at - 1), attributes_.size(), 0};
    while (p < n && text_[p] != '>') {
        if (isBlankByte(text_[p]) || text_[p] == '/') {
            ++p;
            continue;
        }
        const std::size_t name = p++;  // a name may begin with "="
        while (p < n && !endsName(text_[p]) && text_[p] != '=') ++p;
        MarkupAttribute attribute{index, text_.substr(name, p - name), p, p};
        std::size_t q = p;
        while (q < n && isBlankByte(text_[q])) ++q;
        if (q < n && text_[q] == '=') {
            ++q;
            while (q < n && isBlankByte(text_[q])) ++q;
            if (q < n && (text_[q] == '"' || text_[q] == '\'')) {
                // An unclosed quote takes the rest of the page, as a browser reads it.
                const auto close = std::min(text_.find(text_[q], q + 1), n);
                attribute.valueBegin = q + 1;
                attribute.valueEnd = close;
                p = std::min(close + 1, n);
            } else {
                std::size_t end = q;
                while (end < n && !isBlankByte(text_[end]) && text_[end] != '>') ++end;
                attribute.valueBegin = q;
                attribute.valueEnd = p = end;
            }
        }
        attributes_.push_back(attribute);
        ++tag.attributeCount;
    }
    tags_.push_back(tag);
    const std::size_t after = std::min(p + 1, n);
    const bool style = equalsNoCase(tag.name, "style");
    if (!style && !equalsNoCase(tag.name, "script")) return after;
    const auto close = std::min(findNoCase(text_, style ? "</style" : "</script", after), n);
    if (style) styleBlocks_.push_back({after, close});
    return close;
}

const MarkupAttribute* MarkupTags::attributeAt(std::size_t begin, std::size_t end) const {
    // Values never overlap: the only candidate is the last one beginning at or before begin.
    auto it = std::upper_bound(attributes_.begin(), attributes_.end(), begin,
                               [](std::size_t pos, const MarkupAttribute& a) { return pos < a.valueBegin; });
    if (it == attributes_.begin()) return nullptr;
    --it;
    return end <= it->valueEnd && begin < it->valueEnd ? &*it : nullptr;
}

const MarkupAttribute* MarkupTags::find(const MarkupTag& tag, std::string_view name) const {
    for (std::size_t i = tag.firstAttribute; i < tag.firstAttribute + tag.attributeCount; ++i)
        if (equalsNoCase(attributes_[i].name, name)) return &attributes_[i];
    return nullptr;
}

std::string_view MarkupTags::value(const MarkupAttribute& attribute) const {
    return text_.substr(attribute.valueBegin, attribute.valueEnd - attribute.valueBegin);
}

}  // namespace gleanery
