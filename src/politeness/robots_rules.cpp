#include "politeness/robots_rules.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "links/url_utils.h"
#include "support/byte_set.h"
#include "support/text.h"

namespace gleanery {

namespace {

constexpr std::size_t kMaxBodyBytes = 500 * 1024;
constexpr double kMaxCrawlDelaySeconds = 60;

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlankByte(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlankByte(s.back())) s.remove_suffix(1);
    return s;
}

// "Gleanery/2.1 (+https://...)" names the product "Gleanery".
std::string_view productOf(std::string_view userAgent) {
    std::size_t end = 0;
    while (end < userAgent.size() && userAgent[end] != '/' && !isBlankByte(userAgent[end])) ++end;
    return userAgent.substr(0, end);
}

constexpr ByteSet kUnreserved = ByteSet(kAlphanumeric, "-._~");

// The canonical form described in the header, shared by patterns and paths so
// that a pattern written in UTF-8 matches the path as it is sent.
std::string canonical(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == '%') {
            const int escaped = EscapedByteAt(s, i);
            if (escaped < 0) {
                out += "%25";
                continue;
            }
            const auto byte = static_cast<unsigned char>(escaped);
            if (kUnreserved(static_cast<char>(byte)))
                out += static_cast<char>(byte);
            else
                AppendEscape(out, byte);
            i += 2;
        } else if (c <= ' ' || c >= 0x7F) {
            AppendEscape(out, c);
        } else {
            out += s[i];
        }
    }
    return out;
}

// Whether the pattern matches the start of the path (all of it when anchored).
// Greedy with a single backtrack point, the last "*": a later "*" can take over
// whatever an earlier one would have, so retrying older ones never helps, and
// the cost stays at path length times pattern length.
bool matches(std::string_view pattern, bool anchored, std::string_view path) {
    std::size_t p = 0, t = 0;
    std::size_t retryP = std::string_view::npos, retryT = 0;
    while (t < path.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            retryP = ++p;
            retryT = t;
        } else if (p == pattern.size() && !anchored) {
            return true;
        } else if (p < pattern.size() && pattern[p] == path[t]) {
            ++p;
            ++t;
        } else if (retryP != std::string_view::npos) {
            p = retryP;
            t = ++retryT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

// Seconds as a plain decimal number; anything else (negative, an exponent,
// trailing words) is ignored, as a garbled value is no request to wait.
bool parseSeconds(std::string_view value, double& seconds) {
    const char* end = value.data() + value.size();
    const auto result = std::from_chars(value.data(), end, seconds, std::chars_format::fixed);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(seconds) && seconds >= 0;
}

}  // namespace

RobotsRules RobotsRules::allowAll() { return {}; }

RobotsRules RobotsRules::disallowAll() {
    RobotsRules rules;
    rules.rules_.push_back({"/", false, false});
    return rules;
}

RobotsRules RobotsRules::parse(std::string_view body, std::string_view userAgent) {
    if (body.size() > kMaxBodyBytes) {
        // A line cut short could turn into a broader Allow than was written.
        body = body.substr(0, kMaxBodyBytes);
        const auto lastEnd = body.find_last_of("\r\n");
        body = body.substr(0, lastEnd == std::string_view::npos ? 0 : lastEnd);
    }
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    const std::string_view productToken = productOf(trimmed(userAgent));

    // The groups naming this crawler and the "*" groups are gathered side by
    // side; which of them counts is only known at the end.
    RobotsRules named, anyone;
    double namedDelay = 0, anyoneDelay = 0;
    bool namedFound = false;
    bool groupNamesUs = false, groupIsForAnyone = false, groupHasStarted = false, inRules = false;

    while (!body.empty()) {
        const auto lineEnd = std::min(body.find_first_of("\r\n"), body.size());
        std::string_view line = body.substr(0, lineEnd);
        body.remove_prefix(std::min(lineEnd + 1, body.size()));
        line = line.substr(0, std::min(line.find('#'), line.size()));
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view key = trimmed(line.substr(0, colon));
        const std::string_view value = trimmed(line.substr(colon + 1));

        if (equalsNoCase(key, "user-agent")) {
            if (inRules) groupNamesUs = groupIsForAnyone = inRules = false;
            const std::string_view agent = productOf(value);
            groupNamesUs = groupNamesUs || (!agent.empty() && equalsNoCase(agent, productToken));
            groupIsForAnyone = groupIsForAnyone || agent == "*";
            namedFound = namedFound || groupNamesUs;
            groupHasStarted = true;
            continue;
        }
        const bool allow = equalsNoCase(key, "allow");
        const bool isDelay = equalsNoCase(key, "crawl-delay");
        if (!allow && !isDelay && !equalsNoCase(key, "disallow")) continue;
        if (!groupHasStarted) continue;
        inRules = true;
        if (isDelay) {
            double seconds = 0;
            if (!parseSeconds(value, seconds)) continue;
            if (groupNamesUs) namedDelay = std::max(namedDelay, seconds);
            if (groupIsForAnyone) anyoneDelay = std::max(anyoneDelay, seconds);
            continue;
        }
        if (value.empty()) continue;
        const bool anchored = value.back() == '$';
        Rule rule{canonical(anchored ? value.substr(0, value.size() - 1) : value), anchored, allow};
        if (groupNamesUs) named.rules_.push_back(rule);
        if (groupIsForAnyone) anyone.rules_.push_back(std::move(rule));
    }

    RobotsRules chosen = namedFound ? std::move(named) : std::move(anyone);
    const double seconds = std::min(namedFound ? namedDelay : anyoneDelay, kMaxCrawlDelaySeconds);
    chosen.crawlDelay_ = std::chrono::milliseconds(std::llround(seconds * 1000));
    return chosen;
}

bool RobotsRules::allowed(std::string_view pathAndQuery) const {
    if (pathAndQuery == "/robots.txt") return true;
    std::string path = canonical(pathAndQuery);
    if (path.empty() || path.front() != '/') path.insert(0, 1, '/');

    // Length is counted in the canonical form, "*" and "$" included, so that
    // "%7E" and "~" weigh the same.
    bool allow = true;
    std::size_t bestLength = 0;
    bool found = false;
    for (const Rule& rule : rules_) {
        const std::size_t length = rule.pattern.size() + (rule.anchored ? 1 : 0);
        if (found && (length < bestLength || (length == bestLength && !rule.allow))) continue;
        if (!matches(rule.pattern, rule.anchored, path)) continue;
        allow = rule.allow;
        found = true;
        bestLength = length;
    }
    return allow;
}

}  // namespace gleanery
