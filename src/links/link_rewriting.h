#pragma once
// Rewrites the links of a stored page so that the copy browses from disk:
// every link to something the robot stores names the local copy under the
// primary output folder. Works on the raw text with delimiter rules, not on
// a parsed document, and keeps every byte outside the links it rewrites.

#include <string>
#include <string_view>

namespace gleanery {

class SettingsView;
class OutputDrives;

// The page text with its links rewritten, in two passes: the values of HREF,
// SRC and ACTION attributes (with their queries), then every other word that
// ends in one of the job's page or file extensions, except the local forms
// the first pass wrote. pageUrl is the URL the page was fetched under; links
// are resolved against it.
std::string ConvertLocal(std::string_view pageUrl, std::string_view text, const SettingsView& settings,
                         const OutputDrives& drives);

// The text to put in place of one link found on the page pageUrl (see
// LocalLinkMaker::convert): links the robot never follows unchanged; the
// others name the file the mirror stores for them, by a "file://" URL or by
// the path from the page's own file, percent-encoded, fragment kept.
std::string ConvertLocalFile(std::string_view pageUrl, std::string_view link, const SettingsView& settings,
                             const OutputDrives& drives);

}  // namespace gleanery
