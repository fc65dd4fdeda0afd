#include <gtest/gtest.h>

#include "links/character_references.h"

namespace gleanery {
namespace {

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

}  // namespace
}  // namespace gleanery
