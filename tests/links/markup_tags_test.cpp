#include <gtest/gtest.h>

#include "links/markup_tags.h"

namespace gleanery {
namespace {

// "tag name=value ..." for every start tag, and "{style text}" for every <style> block.
std::string describe(std::string_view text) {
    const MarkupTags tags(text);
    std::string out;
    for (const MarkupTag& tag : tags.tags()) {
        out.append(tag.name);
        for (std::size_t i = tag.firstAttribute; i < tag.firstAttribute + tag.attributeCount; ++i) {
            const MarkupAttribute& a = tags.attributes()[i];
            out.append(" ").append(a.name).append("=").append(tags.value(a));
        }
        out += ';';
    }
    for (const TextSpan& s : tags.styleBlocks()) out.append("{").append(text.substr(s.begin, s.end - s.begin)).append("}");
    return out;
}

TEST(MarkupTags, FindsStartTagsAsABrowserReadsThem) {
    const char* const cases[][2] = {
        {"<a href=x.htm title='a > b' class = \"c d\" hidden>t</a>", "a href=x.htm title=a > b class=c d hidden=;"},
        {"<img\nsrc=\"a.png\"/><br/><p>3 < 4, x<5</p>", "img src=a.png;br;p;"},
        // Comments, end tags and declarations hold no tags; script and style hold only text.
        {"<!-- <a href=no> --><!DOCTYPE html></b href=no><script>if (a<b) s = '<img src=no>';</script><i>",
         "script;i;"},
        {"<STYLE media=print>p { background: url(a.png) }</Style><p>", "STYLE media=print;p;{p { background: url(a.png) }}"},
        // A quote that is never closed takes the rest of the page.
        {"<a href=\"x.htm>text<b>", "a href=x.htm>text<b>;"},
        {"<a href=", "a href=;"},
    };
    for (const auto& c : cases) EXPECT_EQ(describe(c[0]), c[1]) << c[0];
}

TEST(MarkupTags, TellsWhichAttributeValueHoldsAPlace) {
    const std::string text = "<a title=\"see b.htm\" href='c.htm'> d.htm";
    const MarkupTags tags(text);
    const auto at = [&](std::string_view piece) {
        const MarkupAttribute* a = tags.attributeAt(text.find(piece), text.find(piece) + piece.size());
        return a ? std::string(a->name) : std::string("none");
    };
    EXPECT_EQ(at("b.htm"), "title");
    EXPECT_EQ(at("c.htm"), "href");
    EXPECT_EQ(at("d.htm"), "none");
}

}  // namespace
}  // namespace gleanery
