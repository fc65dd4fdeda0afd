#pragma once
// A downloaded stylesheet names what the pages that use it need to display:
// pictures, fonts and further stylesheets in url(...) and @import. Each is
// offered to link admission as a requisite, and the stored copy names the
// local files when links are made local.

#include <string>
#include <string_view>

namespace gleanery {

class LinkQueue;
class OutputDrives;
class SettingsView;

// A file that was sent as "text/css" or whose name ends in ".css".
bool IsStylesheet(std::string_view url, std::string_view contentType);

// The stylesheet downloaded from url into file: its references are admitted
// and, with chkTranslate, rewritten in the file (replaced whole, never in
// part). Nothing happens unless chkPageRequisites is ticked. False when the
// file could not be read or rewritten.
bool ParseStylesheet(std::string_view url, const std::string& file, const SettingsView& settings,
                     const OutputDrives& drives, LinkQueue& queue);

}  // namespace gleanery
