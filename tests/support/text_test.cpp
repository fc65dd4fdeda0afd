// The cleaners and the number reader that settings, registry texts and
// descriptor files go through.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/text.h"

namespace gleanery {
namespace {

using namespace std::string_literals;

TEST(TextCleaning, FieldValuesAndCleanStringsKeepWhatTheirReadersExpect) {
    const struct {
        std::string raw, field, clean;
    } cases[] = {
        {"  abc  ", "abc", "abc"},
        {" x \0 y"s, "x", "x  y"},                // a field ends at its first NUL
        {"\tabc\t", "\tabc\t", "abc"},            // a field trims blanks only
        {"a\x1c\x1f", "a\x1c\x1f", "a\x1c\x1f"},  // 28..31 survive cleaning
        {"\x1bz\x7fy", "\x1bz\x7fy", "zy"},       // 27 and 127 do not
        {"caf\xC3\xA9 ", "caf\xC3\xA9", "caf"},   // nor bytes above 127
        {"\t 10 \r\n", "\t 10 \r\n", "10"},       // blanks that become outer ones once the rest is gone
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cleanFieldValue(c.raw), c.field) << c.raw;
        EXPECT_EQ(CleanString(c.raw), c.clean) << c.raw;
    }
}

TEST(NumericValue, ReadsTheNumberAtTheStartAndAnOverflowIsHugeNotZero) {
    const struct {
        const char* text;
        double value;
    } cases[] = {{"\t7", 7}, {"40abc", 40}, {"-.5", -0.5}, {"2E-2", 0.02},      {"1e+", 1},           {"", 0},
                 {"+-5", 0}, {"0x10", 0},   {"inf", 0},    {"1e999", HUGE_VAL}, {"-1e999", -HUGE_VAL}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(numericValue(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace gleanery
