// The URL utilities chained as link admission chains them: the link of a
// page resolved against the page, made the URL the job fetches, cut into
// domain, server and extension, and mapped to its local file.
//
// Input: one byte of flags (1 = chkAllowParameters), then the lines
// txtName, txtPassword and the page URL; the rest is the link.

#include <algorithm>
#include <array>

#include "common/fake_settings.h"
#include "fuzz_support.h"
#include "links/local_path.h"
#include "links/url_utils.h"
#include "support/text.h"

using namespace gleanery;
using namespace gleanery::fuzz;

namespace {

constexpr std::string_view kFolder = "/gleanery-fuzz/out";
// Unreserved and reserved characters, which URLs carry as they are.
constexpr std::string_view kUnencoded =
    "-._~:/?#[]@!$&'()*+,;=0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

bool isHex(char c) { return (c >= '0' && c <= '9') || ((c | 32) >= 'a' && (c | 32) <= 'f'); }

bool hasScheme(std::string_view u) { return startsWithNoCase(u, "http://") || startsWithNoCase(u, "https://"); }

bool isSubstring(std::string_view part, std::string_view whole) { return whole.find(part) != std::string_view::npos; }

// The host as the utilities define it: after the scheme and any
// credentials, up to the first "/", "?" or "#".
std::string_view hostOf(std::string_view url) {
    const std::string_view rest = StripCredentials(StripScheme(url));
    return rest.substr(0, rest.find_first_of("/?#"));
}

void checkCoding(std::string_view s) {
    const std::string decoded = UnURLEncode(s);
    FUZZ_REQUIRE(decoded.size() <= s.size(), "decoding never lengthens", shown(s));
    if (s.find('%') == std::string_view::npos)
        FUZZ_REQUIRE(decoded == s, "text without escapes decodes to itself", shown(s));

    const std::string encoded = URLEncode(s);
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%') {
            FUZZ_REQUIRE(i + 2 < encoded.size() && isHex(encoded[i + 1]) && isHex(encoded[i + 2]),
                         "every escape is % and two hexadecimal digits", shown(encoded));
            i += 2;
        } else {
            FUZZ_REQUIRE(kUnencoded.find(encoded[i]) != std::string_view::npos, "only allowed bytes stay unescaped",
                         shown(encoded));
        }
    }
    FUZZ_REQUIRE(UnURLEncode(encoded) == decoded, "decoding the encoding gives the decoded text", shown(s));
    FUZZ_REQUIRE(URLEncode(encoded) == encoded, "encoding twice changes nothing more", shown(s));
}

void checkParts(std::string_view url) {
    const std::string_view host = hostOf(url);
    const std::string domain = GetDomain(url);
    const std::string server = GetServer(url);
    if (server.empty())
        FUZZ_REQUIRE(host == domain, "a host without server is its domain", shown(url));
    else
        FUZZ_REQUIRE(server + "." + domain == host, "server, dot and domain make the host", shown(url));

    const std::string ext = GetExtension(url);
    if (ext != " ") {
        FUZZ_REQUIRE(ext.find_first_of("?.#") == std::string::npos, "an extension holds no ? . #", shown(ext));
        FUZZ_REQUIRE(asciiUpper(ext) == ext, "an extension is upper case", shown(ext));
        FUZZ_REQUIRE(isSubstring(ext, asciiUpper(StripFragment(url))), "the extension comes from the URL", shown(url));
    }
}

// The job's credentials as a made URL carries them, decoded: empty when the
// job has none.
std::string madeCredentials(std::string_view made) {
    const std::string_view rest = StripScheme(made);
    const std::string_view host = StripCredentials(rest);
    if (host.size() == rest.size()) return {};
    const std::string_view userinfo = rest.substr(0, rest.size() - host.size());
    FUZZ_REQUIRE(
        userinfo.find_first_of("/?#@") == userinfo.size() - 1 && std::count(userinfo.begin(), userinfo.end(), ':') == 1,
        "credentials hold no separator but their own", shown(made));
    return UnURLEncode(userinfo);
}

void checkMakeURL(std::string_view u, const SettingsView& settings, std::string_view credentials) {
    const std::string made = MakeURL(u, settings);
    const std::string_view scheme = made.starts_with("https://") ? "https://" : "http://";
    FUZZ_REQUIRE(made.starts_with(scheme), "a made URL has a scheme", shown(made));
    FUZZ_REQUIRE(madeCredentials(made) == credentials, "a made URL carries the job's credentials", shown(made));
    const std::string_view rest = StripCredentials(std::string_view(made).substr(scheme.size()));
    const std::string_view host = rest.substr(0, rest.find_first_of("/?"));
    FUZZ_REQUIRE(asciiLower(host) == host, "a made URL's host is lower case", shown(made));
    FUZZ_REQUIRE(isSubstring(asciiLower(rest), asciiLower(u)), "a made URL adds nothing but scheme and credentials",
                 shown(u) + " -> " + shown(made));
    FUZZ_REQUIRE(made.find('#') == std::string::npos, "a made URL has no fragment", shown(made));
    if (!settings.checked(Field::chkAllowParameters))
        FUZZ_REQUIRE(rest.find('?') == std::string::npos, "without parameters a made URL has no query", shown(made));
    // The robot stores made URLs and makes them again before fetching them.
    FUZZ_REQUIRE(MakeURL(made, settings) == made, "making a made URL changes nothing", shown(made));
}

void checkResolved(std::string_view base, std::string_view link) {
    const std::string resolved = MakeRelativeURL(base, link);
    const std::string_view page = StripFragment(base);
    FUZZ_REQUIRE(resolved.find('#') == std::string::npos, "a resolved link has no fragment", shown(resolved));
    if (link.starts_with('#')) {
        FUZZ_REQUIRE(resolved == page, "a fragment names its page", shown(resolved));
        return;
    }
    if (hasScheme(StripFragment(link))) {
        FUZZ_REQUIRE(resolved == StripFragment(link), "an absolute link stays as it is", shown(resolved));
        return;
    }
    std::array<bool, 256> known{};
    for (const std::string_view from : {base, link, std::string_view("https:/")})
        for (const unsigned char c : from) known[c] = true;
    for (const unsigned char c : resolved)
        FUZZ_REQUIRE(known[c], "a resolved link holds only bytes of its page and link", shown(resolved));
    // A link without host stays on its page's host; "../" never climbs above it.
    // (A page whose path begins with a second scheme names two hosts.)
    if (hasScheme(page) && !hasScheme(StripScheme(page)) && !link.starts_with("//")) {
        FUZZ_REQUIRE(GetDomain(resolved) == GetDomain(page) && GetServer(resolved) == GetServer(page),
                     "a link without host stays on its page's host",
                     shown(page) + " + " + shown(link) + " -> " + shown(resolved));
    }
    if (hasScheme(resolved))
        FUZZ_REQUIRE(MakeRelativeURL(resolved, resolved) == resolved,
                     "an absolute URL resolved against itself is itself", shown(resolved));
}

void checkTrim(std::string_view u) {
    const std::string up = TrimDirectory(u);
    FUZZ_REQUIRE(u.starts_with(up), "stepping up keeps a prefix", shown(u));
    FUZZ_REQUIRE(up == u || (GetDomain(up) == GetDomain(u) && GetServer(up) == GetServer(u)),
                 "stepping up never leaves the host", shown(u) + " -> " + shown(up));
}

void checkLocalPath(const std::string& url, const FakeSettings& plain) {
    const std::string path = MakePathUnder(url, kFolder, false);
    std::string why;
    FUZZ_REQUIRE(liesUnder(path, kFolder, &why), "a local file lies inside its output folder", why);
    // Credentials never reach the disk.
    FUZZ_REQUIRE(MakePathUnder(MakeURL(url, plain), kFolder, false) == path, "credentials do not change the local file",
                 shown(url));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputReader in(data, size);
    const std::uint8_t flags = in.byte();
    const std::string_view name = in.line();
    const std::string_view password = in.line();
    const std::string_view base = in.line();
    const std::string_view link = in.rest();

    FakeSettings settings, plain;
    settings.tick(Field::chkAllowParameters.name, flags & 1)
        .set(Field::txtName.name, std::string(name))
        .set(Field::txtPassword.name, std::string(password));
    plain.tick(Field::chkAllowParameters.name, flags & 1);
    const std::string credentials =
        name.empty() && password.empty() ? std::string() : trimBlanks(name) + ":" + trimBlanks(password) + "@";

    for (const std::string_view s : {base, link}) {
        checkCoding(s);
        checkParts(s);
        checkMakeURL(s, settings, credentials);
        checkTrim(StripScheme(s));
    }
    checkResolved(base, link);

    // As admission takes a link found on the page.
    if (link.find("mailto:") != std::string_view::npos || link.starts_with('#')) return 0;
    const std::string_view target = StripFragment(link);
    if (HasOtherScheme(target)) return 0;
    const std::string absolute = MakeRelativeURL(base, target);
    checkParts(absolute);
    const std::string url = MakeURL(absolute, settings);
    checkParts(url);
    checkLocalPath(url, plain);
    URLEncode(url);
    return 0;
}
