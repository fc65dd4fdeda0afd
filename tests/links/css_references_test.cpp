#include <gtest/gtest.h>

#include "links/css_references.h"

namespace gleanery {
namespace {

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
