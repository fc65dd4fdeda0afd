#pragma once
// What a host's robots.txt lets this crawler fetch, and how long it asks the
// crawler to wait between requests.
//
// Paths are compared in one canonical form on both sides: bytes outside
// printable ASCII become "%XX", escapes of letters, digits and - . _ ~ are
// decoded, other escapes stay escapes with upper-case hex ("%2f" and "%2F" are
// the same, "%2F" and "/" are not), and a "%" that begins no escape reads as
// "%25".

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace gleanery {

// The rules of one host's robots.txt for one crawler.
class RobotsRules {
public:
    // Everything allowed: no robots.txt (4xx), or no group applies.
    static RobotsRules allowAll();
    // Nothing allowed: the host's robots.txt could not be read (5xx, network failure).
    static RobotsRules disallowAll();
    // The groups for the crawler of this user agent, known by its product token, the
    // first word up to a "/" ("Gleanery/1.2" is "Gleanery"): every group whose user-agent
    // line names it (case-insensitively) is merged; without one, every "*" group; without
    // either, everything is allowed. Only the first 500 KiB of the body are read.
    static RobotsRules parse(std::string_view body, std::string_view userAgent);

    // pathAndQuery: the path and query of the URL as it is requested, percent-encoded
    // ("/a/b.html?x=1"); "" counts as "/". "/robots.txt" is always allowed.
    bool allowed(std::string_view pathAndQuery) const;
    // The group's Crawl-delay (seconds, fractions allowed), capped at 60 s; 0 without one.
    std::chrono::milliseconds crawlDelay() const { return crawlDelay_; }

private:
    struct Rule {
        std::string pattern;  // canonical form, without the anchoring "$"
        bool anchored;        // the pattern ended in "$": it must match the whole path
        bool allow;
    };

    std::vector<Rule> rules_;
    std::chrono::milliseconds crawlDelay_{0};
};

}  // namespace gleanery
