#include "links/url_utils.h"

#include <algorithm>
#include <cctype>

#include "links/host_parts.h"
#include "support/byte_set.h"
#include "support/settings_view.h"
#include "support/text.h"

namespace gleanery {

namespace {

// Where the host, the authority and the path end. Every link of a page is
// cut at these several times, and find_first_of calls memchr for each byte.
constexpr ByteSet kHostEnd("/?");
constexpr ByteSet kAuthorityEnd("/?#");
constexpr ByteSet kPathEnd("?#");

constexpr std::string_view kHttp = "http://";
constexpr std::string_view kHttps = "https://";

// Unreserved and reserved characters: a URL carries them as they are.
constexpr ByteSet kUrlBytes = ByteSet(kAlphanumeric, "-._~:/?#[]@!$&'()*+,;=");
// A local path in a page: neither quotes, parentheses, blanks nor "&" that
// would end or change the link, nor a ":" that could read as a scheme.
constexpr ByteSet kPathBytes = ByteSet(kAlphanumeric, "-._~/!$*+,;=@");
// Inside a user name or password, ":", "@", "/", "?" and "#" would end it.
constexpr ByteSet kCredentialBytes = ByteSet(kAlphanumeric, "-._~!$&'()*+,;=");
// A host name: unreserved characters, escapes and sub-delimiters.
constexpr ByteSet kHostBytes = ByteSet(kAlphanumeric, "-._~%!$&'()*+,;=");

// Every byte outside kept as "%XX"; with keepEscapes, valid escapes stay too.
std::string percentEncode(std::string_view s, const ByteSet& kept, bool keepEscapes) {
    std::string out;
    out.reserve(s.size() + s.size() / 4);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (kept(s[i]) || (keepEscapes && EscapedByteAt(s, i) >= 0))
            out += s[i];
        else
            AppendEscape(out, static_cast<unsigned char>(s[i]));
    }
    return out;
}

bool hasScheme(std::string_view url) { return startsWithNoCase(url, kHttp) || startsWithNoCase(url, kHttps); }

// The scheme of a base URL as written in front of a resolved link: "http://",
// "https://", or nothing when the base has none.
std::string_view schemeOf(std::string_view base) {
    if (startsWithNoCase(base, kHttp)) return kHttp;
    if (startsWithNoCase(base, kHttps)) return kHttps;
    return {};
}

bool startsWithEither(std::string_view s, std::string_view a, std::string_view b) {
    return s.starts_with(a) || s.starts_with(b);
}

}  // namespace

int EscapedByteAt(std::string_view s, std::size_t at) {
    if (s[at] != '%' || at + 2 >= s.size()) return -1;
    const int high = hexDigitValue(s[at + 1]), low = hexDigitValue(s[at + 2]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

void AppendEscape(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
}

std::string UnURLEncode(std::string_view s, std::string_view keepEncoded) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const int code = EscapedByteAt(s, i);
        if (code < 0 || keepEncoded.find(static_cast<char>(code)) != std::string_view::npos) {
            out += s[i];
        } else {
            out += static_cast<char>(code);
            i += 2;
        }
    }
    return out;
}

std::string PercentEncodePath(std::string_view path) { return percentEncode(path, kPathBytes, false); }

std::string URLEncode(std::string_view s) { return percentEncode(s, kUrlBytes, true); }

std::string MakeURL(std::string_view url, const SettingsView& settings) {
    std::string_view u = StripFragment(url);
    std::string trimmed;
    if (!settings.checked(Field::chkAllowParameters)) {
        const auto q = u.find('?');
        if (q != std::string_view::npos) {
            trimmed = trimBlanks(u.substr(0, q));
            u = trimmed;
        }
    }
    const std::string_view scheme = startsWithNoCase(u, kHttps) ? kHttps : kHttp;
    const std::string_view rest = StripCredentials(StripScheme(u));
    const std::string_view host = rest.substr(0, kHostEnd.firstIn(rest, 0));

    const std::string& name = settings.text(Field::txtName);
    const std::string& password = settings.text(Field::txtPassword);
    std::string result(scheme);
    if (!name.empty() || !password.empty()) {
        result.append(percentEncode(trimBlanks(name), kCredentialBytes, false))
            .append(1, ':')
            .append(percentEncode(trimBlanks(password), kCredentialBytes, false))
            .append(1, '@');
    }
    return result.append(asciiLower(host)).append(rest.substr(host.size()));
}

std::string MakeRelativeURL(std::string_view baseUrl, std::string_view linkText) {
    const std::string_view base = StripFragment(baseUrl);
    if (!linkText.empty() && linkText.front() == '#') return std::string(base);
    std::string_view link = StripFragment(linkText);
    if (hasScheme(link)) return std::string(link);

    const std::string_view scheme = schemeOf(base);
    // A protocol-relative link keeps the page's scheme.
    if (link.starts_with("//")) return std::string(scheme).append(link.substr(2));

    // The page's query neither names folders nor survives into its links.
    const std::string_view page = base.substr(0, base.find('?'));
    const std::string_view pageNoScheme = StripScheme(page);
    if (link.starts_with('?')) return std::string(scheme).append(pageNoScheme).append(link);
    if (link.starts_with('/')) return std::string(scheme).append(HostOf(pageNoScheme)).append(link);

    // A last segment without a dot names a folder.
    const auto lastSep = page.find_last_of("/\\");
    const bool folder = lastSep != std::string_view::npos && page.find('.', lastSep) == std::string_view::npos;

    // Relative to the page's folder.
    std::string dir(folder ? pageNoScheme : pageNoScheme.substr(0, pageNoScheme.rfind('/') + 1));
    if (dir.empty()) dir = pageNoScheme;  // no "/" at all: the base names its host
    if (folder && !dir.ends_with('/')) dir += '/';
    for (;;) {
        if (startsWithEither(link, "../", "..\\")) {
            dir = TrimDirectory(dir);
            link.remove_prefix(3);
        } else if (startsWithEither(link, "./", ".\\")) {
            link.remove_prefix(2);
        } else {
            break;
        }
    }
    std::string result;
    result.reserve(scheme.size() + dir.size() + link.size() + 1);
    if (!hasScheme(dir)) result.append(scheme);
    result.append(dir);
    if (!dir.ends_with('/') && !link.starts_with('/')) result += '/';
    return result.append(link);
}

std::string TrimDirectory(std::string_view u) {
    if (u.size() < 2) return std::string(u);
    const auto slash = u.rfind('/', u.size() - 2);
    if (slash == std::string_view::npos) return std::string(u);
    const std::string_view up = u.substr(0, slash + 1);
    return std::string(HostOf(up) == HostOf(u) ? up : u);
}

std::string GetDomain(std::string_view url) { return std::string(SplitHost(HostOf(url)).domain); }

std::string GetServer(std::string_view url) { return std::string(SplitHost(HostOf(url)).server); }

std::string GetExtension(std::string_view url) {
    const std::string_view u = url.substr(0, kPathEnd.firstIn(url, 0));
    const std::string_view rest = StripCredentials(StripScheme(u));
    if (u.ends_with('/') || rest.find('/') == std::string_view::npos) return " ";
    const auto dot = u.rfind('.');
    return asciiUpper(dot == std::string_view::npos ? u : u.substr(dot + 1));
}

std::string_view HostOf(std::string_view url) {
    const std::string_view rest = StripCredentials(StripScheme(url));
    return rest.substr(0, kAuthorityEnd.firstIn(rest, 0));
}

std::string_view StripFragment(std::string_view url) { return url.substr(0, url.find('#')); }

std::string_view StripScheme(std::string_view url) {
    if (startsWithNoCase(url, kHttp)) return url.substr(kHttp.size());
    if (startsWithNoCase(url, kHttps)) return url.substr(kHttps.size());
    return url;
}

std::string_view StripCredentials(std::string_view urlWithoutScheme) {
    const std::string_view authority = urlWithoutScheme.substr(0, kAuthorityEnd.firstIn(urlWithoutScheme, 0));
    const auto at = authority.rfind('@');
    return at == std::string_view::npos ? urlWithoutScheme : urlWithoutScheme.substr(at + 1);
}

std::string HidePassword(std::string_view url) {
    const std::string_view rest = StripScheme(url);
    const std::string_view afterCredentials = StripCredentials(rest);
    const std::string_view credentials = rest.substr(0, rest.size() - afterCredentials.size());
    const auto colon = credentials.find(':');
    if (colon == std::string_view::npos) return std::string(url);
    return std::string(url.substr(0, url.size() - rest.size()))
        .append(credentials.substr(0, colon))
        .append(":***@")
        .append(afterCredentials);
}

std::string WithoutCredentials(std::string_view url) {
    const std::size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string_view::npos) return std::string(url);
    return std::string(url.substr(0, schemeEnd + 3)).append(StripCredentials(url.substr(schemeEnd + 3)));
}

bool IsWebAddress(std::string_view text) {
    const std::string_view rest = StripScheme(text);
    // Without a scheme nothing is credentials, so "mailto:a@b" is no host b.
    std::string_view host = rest.size() == text.size() ? rest.substr(0, kAuthorityEnd.firstIn(rest, 0)) : HostOf(text);
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    // A port follows the last ":" after the brackets of an IPv6 address.
    const auto colon = host.rfind(':');
    if (colon != std::string_view::npos && colon >= host.rfind(']') + 1) {
        const std::string_view port = host.substr(colon + 1);
        if (port.empty() || !std::all_of(port.begin(), port.end(), digit)) return false;
        host = host.substr(0, colon);
    }
    if (host.size() > 2 && host.starts_with('[') && host.ends_with(']'))
        return std::all_of(host.begin() + 1, host.end() - 1,
                           [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.'; });
    return !host.empty() && std::all_of(host.begin(), host.end(),
                                        [](char c) { return kHostBytes(c) || static_cast<unsigned char>(c) >= 0x80; });
}

bool HasOtherScheme(std::string_view link) {
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    const auto colon = link.find(':');
    if (colon == std::string_view::npos || colon == 0 || !isLetter(link[0])) return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const char c = link[i];
        if (!(isLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')) return false;
    }
    const std::string_view scheme = link.substr(0, colon);
    return !equalsNoCase(scheme, "http") && !equalsNoCase(scheme, "https");
}

}  // namespace gleanery
