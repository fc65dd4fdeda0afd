#include "links/page_requisites.h"

#include <algorithm>

#include "links/css_references.h"
#include "links/markup_tags.h"
#include "support/text.h"

namespace gleanery {

namespace {

bool is(std::string_view name, std::string_view expected) { return equalsNoCase(name, expected); }

// A space-separated list ("shortcut icon") holds one of the words.
bool holdsWord(std::string_view list, std::initializer_list<std::string_view> words) {
    for (std::size_t p = 0; p < list.size();) {
        while (p < list.size() && isBlankByte(list[p])) ++p;
        std::size_t e = p;
        while (e < list.size() && !isBlankByte(list[e])) ++e;
        for (const std::string_view word : words)
            if (e > p && is(list.substr(p, e - p), word)) return true;
        p = e;
    }
    return false;
}

std::string_view valueOf(const MarkupTags& tags, const MarkupTag& tag, std::string_view name) {
    const MarkupAttribute* a = tags.find(tag, name);
    return a ? tags.value(*a) : std::string_view{};
}

bool isSrcset(const MarkupTags& tags, const MarkupAttribute& a) {
    const std::string_view tag = tags.tags()[a.tag].name;
    return is(a.name, "srcset") && (is(tag, "img") || is(tag, "source"));
}

// The addresses of a srcset: candidates separated by commas, each an
// address and an optional size ("a.png 1x, b.png 2x").
void forEachCandidate(std::string_view text, std::size_t p, std::size_t end,
                      const std::function<void(std::size_t, std::size_t)>& visit) {
    while (p < end) {
        while (p < end && (isBlankByte(text[p]) || text[p] == ',')) ++p;
        std::size_t e = p;
        while (e < end && !isBlankByte(text[e])) ++e;
        std::size_t address = e;
        while (address > p && text[address - 1] == ',') --address;
        if (address > p) visit(p, address);
        p = e;
        if (address == e)  // a size follows up to the next comma
            while (p < end && text[p] != ',') ++p;
    }
}

void visitTrimmed(std::string_view text, std::size_t b, std::size_t e,
                  const std::function<void(std::size_t, std::size_t)>& visit) {
    while (b < e && isBlankByte(text[b])) ++b;
    while (e > b && isBlankByte(text[e - 1])) --e;
    if (b < e) visit(b, e);
}

}  // namespace

bool IsRequisiteAttribute(const MarkupTags& tags, const MarkupAttribute& a) {
    const MarkupTag& tag = tags.tags()[a.tag];
    if (is(a.name, "href"))
        return is(tag.name, "link") && holdsWord(valueOf(tags, tag, "rel"), {"stylesheet", "icon", "apple-touch-icon",
                                                                             "preload", "modulepreload"});
    if (is(a.name, "src"))
        return is(tag.name, "img") || is(tag.name, "script") || is(tag.name, "source") ||
               (is(tag.name, "input") && is(valueOf(tags, tag, "type"), "image"));
    if (is(a.name, "poster")) return is(tag.name, "video");
    return is(a.name, "background");
}

void ForEachRequisite(std::string_view text, const MarkupTags& tags,
                      const std::function<void(std::size_t, std::size_t)>& visit) {
    const auto& blocks = tags.styleBlocks();
    auto block = blocks.begin();
    // <style> blocks lie between tags: each is visited where it stands.
    const auto visitBlocksBefore = [&](std::size_t pos) {
        for (; block != blocks.end() && block->begin <= pos; ++block)
            ForEachCssReference(text, block->begin, block->end, visit);
    };
    for (const MarkupAttribute& a : tags.attributes()) {
        visitBlocksBefore(a.valueBegin);
        if (a.valueBegin == a.valueEnd) continue;
        if (isSrcset(tags, a))
            forEachCandidate(text, a.valueBegin, a.valueEnd, visit);
        else if (is(a.name, "style"))
            ForEachCssReference(text, a.valueBegin, a.valueEnd, visit);
        else if (IsRequisiteAttribute(tags, a))
            visitTrimmed(text, a.valueBegin, a.valueEnd, visit);
    }
    visitBlocksBefore(text.size());
}

}  // namespace gleanery
