// The page's markup read as a browser reads it: start tags and their attributes,
// character references in attribute values, and the references of stylesheets.
#include <gtest/gtest.h>

#include "links/character_references.h"
#include "links/css_references.h"
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
    for (const TextSpan& s : tags.styleBlocks())
        out.append("{").append(text.substr(s.begin, s.end - s.begin)).append("}");
    return out;
}

TEST(MarkupTags, FindsStartTagsAsABrowserReadsThem) {
    const char* const cases[][2] = {
        {"<a href=x.htm title='a > b' class = \"c d\" hidden>t</a>", "a href=x.htm title=a > b class=c d hidden=;"},
        {"<img\nsrc=\"a.png\"/><br/><p>3 < 4, x<5</p>", "img src=a.png;br;p;"},
        // Comments, end tags and declarations hold no tags; script and style hold only text.
        {"<!-- <a href=no> --><!DOCTYPE html></b href=no><script>if (a<b) s = '<img src=no>';</script><i>",
         "script;i;"},
        {"<STYLE media=print>p { background: url(a.png) }</Style><p>",
         "STYLE media=print;p;{p { background: url(a.png) }}"},
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

TEST(CharacterReferences, DecodeAsABrowserReadsAnAttribute) {
    const char* const cases[][2] = {
        {"a.php?x=1&amp;y=2", "a.php?x=1&y=2"},
        {"git-web&#45;&#45;browse.html", "git-web--browse.html"},
        {"&#x2F;a&#X2f;b&#39;&quot;&lt;&gt;&apos;&AMP;", "/a/b'\"<>'&"},
        {"caf&#233;&#x1F600;&nbsp;", "caf\xC3\xA9\xF0\x9F\x98\x80\xC2\xA0"},
        {"&#0;&#xD800;&#99999999999;", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        // Not references: kept as written.
        {"a&b&amp&#;&#x;&unknown;", "a&b&amp&#;&#x;&unknown;"},
        {"&#65x", "Ax"},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeCharacterReferences(c[0]), c[1]) << c[0];
}

TEST(CssReferences, FindsEveryUrlAndImportInOrder) {
    const std::string css =
        "@import \"a.css\"; @import url(b.css) screen; @import 'c.css';\n"
        "p { background: URL( 'd e.png' ) } q { src: url(f.woff2?v=1#x) format('woff2'), url(\"\") }\n"
        "r { background: url(data:image/png;base64,AA) } s{background:url(g.png)}@import";
    std::vector<std::string> found;
    ForEachCssReference(css, 0, css.size(),
                        [&](std::size_t begin, std::size_t end) { found.push_back(css.substr(begin, end - begin)); });
    EXPECT_EQ(found, (std::vector<std::string>{"a.css", "b.css", "c.css", "d e.png", "f.woff2?v=1#x",
                                               "data:image/png;base64,AA", "g.png"}));
}

}  // namespace
}  // namespace gleanery
