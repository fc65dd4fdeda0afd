#include <gtest/gtest.h>

#include "links/url_utils.h"

namespace gleanery {
namespace {

using namespace std::string_literals;

TEST(UrlDecoding, DecodesValidEscapesOnly) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"%c3%BC", "\xC3\xBC"},  // bytes stay bytes
        {"a+b", "a+b"},          // "+" is no space
        {"100%", "100%"},
        {"%zz%4g1a%2", "%zz%4g1a%2"},
        {"%%41", "%A"},
        {"%2541", "%41"},  // decoded once
    };
    for (const auto& c : cases) EXPECT_EQ(UnURLEncode(c.in), c.out) << c.in;
}

TEST(UrlEncoding, SendsTheUrlAsThePageWroteIt) {
    const struct {
        std::string in, out;
    } cases[] = {
        // Already fit to send: byte for byte the same.
        {"http://h/p.php?id=3&name=a%26b&q=x+y", "http://h/p.php?id=3&name=a%26b&q=x+y"},
        {"http://h/a%2Fb?path=%2Fx%2f&u=%c3%bc", "http://h/a%2Fb?path=%2Fx%2f&u=%c3%bc"},
        {"http://h/s?f[]=a;b,c!$'()*~-_.@:#top", "http://h/s?f[]=a;b,c!$'()*~-_.@:#top"},
        {"https://jo:p%40w@h:8080/", "https://jo:p%40w@h:8080/"},
        // Bytes that cannot stand in a URL.
        {"http://h/\xC3\xBC ber.htm?q=a b", "http://h/%C3%BC%20ber.htm?q=a%20b"},
        {"\"<>\\^`{|}", "%22%3C%3E%5C%5E%60%7B%7C%7D"},
        {"\x00\x1F\x7F"s, "%00%1F%7F"},
        // A "%" that begins no escape.
        {"100%", "100%25"},
        {"%zz%4", "%25zz%254"},
    };
    for (const auto& c : cases) {
        const std::string once = URLEncode(c.in);
        EXPECT_EQ(once, c.out) << c.in;
        EXPECT_EQ(URLEncode(once), once) << c.in;
    }
}

}  // namespace
}  // namespace gleanery
