// The cleaners and the number reader that settings, registry texts and
// descriptor files go through.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/text.h"

namespace gleanery {
namespace {

using namespace std::string_literals;

TEST(CleanFieldValue, CutsAtFirstNulAndTrimsBlanksOnly) {
    EXPECT_EQ(cleanFieldValue("  abc  "), "abc");
    EXPECT_EQ(cleanFieldValue(" x \0 y"s), "x");
    EXPECT_EQ(cleanFieldValue("\tabc\t"), "\tabc\t");  // only blanks are trimmed
    EXPECT_EQ(cleanFieldValue("caf\xC3\xA9 "), "caf\xC3\xA9");
}

TEST(CleanString, KeepsCodes28To126BetweenTrimmedBlanks) {
    EXPECT_EQ(CleanString("Tr\tue\r\n"), "True");
    EXPECT_EQ(CleanString("a\x1c\x1f"
                          "b"),
              "a\x1c\x1f"
              "b");  // 28..31 survive
    EXPECT_EQ(CleanString("a\x1b"
                          "b\x7f"
                          "c"),
              "abc");                              // 27 and 127 do not
    EXPECT_EQ(CleanString("caf\xC3\xA9"), "caf");  // nor bytes above 127
    // Blanks that only become outer blanks once other characters are gone.
    EXPECT_EQ(CleanString("\t 10 \r\n"), "10");
}

TEST(NumericValue, ReadsTheNumberAtTheStart) {
    const struct {
        const char* text;
        double value;
    } cases[] = {{"\t7", 7}, {"40abc", 40}, {"-.5", -0.5}, {"2E-2", 0.02}, {"1e+", 1},
                 {"", 0},    {"+-5", 0},    {"0x10", 0},   {"inf", 0}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(numericValue(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumericValue, AnOverflowingNumberIsHugeNotZero) {
    EXPECT_TRUE(std::isinf(numericValue("1e999")));
    EXPECT_GT(numericValue("1e999"), 0);
    EXPECT_LT(numericValue("-1e999"), 0);
}

}  // namespace
}  // namespace gleanery
