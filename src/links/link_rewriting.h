#pragma once
// Rewrites the links of a stored page so that the copy browses from disk:
// absolute and root-relative links become references to the local copy
// under the primary output folder. Works on the raw text with delimiter
// rules, not on a parsed document, and keeps every byte outside the links
// it rewrites.

#include <string>
#include <string_view>

namespace gleanery {

class SettingsView;
class OutputDrives;

// The page text with its links rewritten, in two passes: the values of HREF,
// SRC and ACTION attributes, then every other word that ends in one of the
// job's page or file extensions. pageUrl is the URL the page was fetched
// under; links are resolved against it.
std::string ConvertLocal(std::string_view pageUrl, std::string_view text, const SettingsView& settings,
                         const OutputDrives& drives);

// The text to put in place of one link found on the page pageUrl:
// - "mailto" links (any case) unchanged;
// - absolute and root-relative links: a "file://" URL of the local copy, or
//   with chkRelative its path relative to the page's own local copy, both
//   percent-encoded, the link's fragment kept after it;
// - relative links: every "?" before the fragment removed.
std::string ConvertLocalFile(std::string_view pageUrl, std::string_view link, const SettingsView& settings,
                             const OutputDrives& drives);

}  // namespace gleanery
