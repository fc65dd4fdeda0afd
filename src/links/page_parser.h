#pragma once
// Finds the links of a fetched page by plain text search, without an HTML
// parser, and hands every candidate to link admission, which refuses junk
// and duplicates. Greedy on purpose: besides HREF and SRC values it offers
// bare host names, every word holding one of the job's page or file
// extensions when chkScanExt is ticked, and everything the page needs to
// display when chkPageRequisites is ticked.

#include <cstdint>
#include <string_view>

namespace gleanery {

class LinkQueue;
class OutputDrives;
class SettingsView;

// One page: stored first when chkStorePages is ticked, then searched. Takes
// time linear in the size of the text. Failures skip only the link or the
// step they occur in. A page that did not arrive whole (an error answer, or
// no answer) is searched but never replaces the stored copy. The page is
// stored where pageUrl maps; its links are relative to baseUrl, the address
// a redirect led to ("" when the page was not redirected: pageUrl), which is
// also their referrer. The stored copy gets the modification time given
// (seconds since 1970), the server's Last-Modified, unless it is negative.
void ParseResults(std::string_view pageUrl, std::string_view text, const SettingsView& settings,
                  const OutputDrives& drives, LinkQueue& queue, bool arrivedWhole = true, std::string_view baseUrl = {},
                  std::int64_t modified = -1);

}  // namespace gleanery
