#pragma once
// Rewrites the links of a stored page so that the copy browses from disk.
// A stored page changes only where a link points that the scan follows,
// downloads or already holds (it then names the local copy), or where a tag
// holds a relative link to something the mirror does not keep (it then names
// the site, so it keeps working from the copy). Every other byte stays as it
// arrived: scripts, running text, blank values, the blanks around values.

#include <string>
#include <string_view>
#include <vector>

#include "links/link_edits.h"

namespace gleanery {

class LinkAdmission;
class LinkQueue;
class OutputDrives;
class SettingsView;

// The edits that make one page's links local, in order and disjoint. Links
// are found in three passes: the values of HREF, SRC and ACTION wherever they
// stand; with chkPageRequisites, what the page needs to display (srcset
// candidates, posters, style attributes and <style> blocks); then every
// other word that holds one of the job's page or file extensions. pageUrl,
// baseUrl and admission are those of LocalLinks.
std::vector<LinkEdit> LocalLinkEdits(std::string_view pageUrl, std::string_view text, const SettingsView& settings,
                                     const OutputDrives& drives, LinkQueue& queue, std::string_view baseUrl = {},
                                     LinkAdmission* admission = nullptr);

// The page text with those edits made.
std::string ConvertLocal(std::string_view pageUrl, std::string_view text, const SettingsView& settings,
                         const OutputDrives& drives, LinkQueue& queue, std::string_view baseUrl = {},
                         LinkAdmission* admission = nullptr);

}  // namespace gleanery
