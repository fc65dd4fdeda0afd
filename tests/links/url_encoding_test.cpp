#include <gtest/gtest.h>

#include "links/url_utils.h"

namespace gleanery {
namespace {

using namespace std::string_literals;

TEST(UrlDecoding, ReadsEscapesLikeHexLiterals) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"%c3%BC", "\xC3\xBC"},      // bytes stay bytes
        {"a+b", "a+b"},              // "+" is no space
        {"%zz", "\0"s},              // no hex digit gives code 0
        {"a%2", "a\x02"},            // fewer than two characters at the end
        {"%4g1", "\x04" "1"},        // leading digits count, the two characters are skipped
        {"%%41", "\0" "1"s},
    };
    for (const auto& c : cases) EXPECT_EQ(UnURLEncode(c.in), c.out) << c.in;
}

TEST(UrlEncoding, DecodesOnceThenEncodesOutsideTheAllowedSet) {
    const Credentials none;
    const struct {
        std::string in, out;
    } cases[] = {
        {"100%", "100%00"},
        {"http://x/a%20b.htm", "http://x/a%20b.htm"},  // not encoded twice
        {"p.asp?id=3&x=y", "p.asp?id%3D3&x%3Dy"},
        {"=#~+, ", "%3D%23%7E%2B%2C%20"},
        {"%25", "%25"},  // a decoded "%" is encoded again
        {":@/*-._?&AZaz09", ":@/*-._?&AZaz09"},
        {"\x01\xFF", "%01%FF"},  // two upper-case digits, leading zero
    };
    for (const auto& c : cases) EXPECT_EQ(URLEncode(c.in, none), c.out) << c.in;
}

TEST(UrlEncoding, PutsTheJobCredentialsBackUnencoded) {
    const Credentials cred = MakeCredentials("jo doe", "p=w");
    EXPECT_EQ(cred.plain, "jo doe:p=w");
    EXPECT_EQ(cred.encoded, "jo%20doe:p%3Dw");
    EXPECT_EQ(URLEncode("http://jo doe:p=w@srv.dom.example/a b", cred),
              "http://jo doe:p=w@srv.dom.example/a%20b");
    // Every occurrence, compared case-sensitively.
    EXPECT_EQ(URLEncode("jo doe:p=w jo doe:p=w JO doe:p=w", cred),
              "jo doe:p=w%20jo doe:p=w%20JO%20doe:p%3Dw");
}

TEST(UrlEncoding, ReplacesNothingBeforeCredentialsAreFixed) {
    EXPECT_EQ(URLEncode("http://a b@x/", Credentials{}), "http://a%20b@x/");
    // Name and password both empty: ":" is put back as ":", a no-op.
    EXPECT_EQ(URLEncode("http://x:80/", MakeCredentials("", "")), "http://x:80/");
}

}  // namespace
}  // namespace gleanery
