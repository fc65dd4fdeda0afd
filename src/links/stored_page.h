#pragma once
// A fetched page kept in the mirror, as the site sent it or with its links
// made local.

#include <cstdint>
#include <string>
#include <string_view>

namespace gleanery {

class LinkAdmission;
class LinkQueue;
class OutputDrives;
class SettingsView;

// Writes the page under MakePath of its URL (folder by free space, folders
// created), byte for byte, or rewritten by ConvertLocal when chkTranslate is
// ticked, its links relative to baseUrl ("" for pageUrl) and classified by
// admission as ConvertLocal does. The earlier copy is replaced only by a
// complete new one, with the modification time given unless it is
// negative. False when the page could not be stored.
bool StorePage(std::string_view pageUrl, std::string_view text, const SettingsView& settings,
               const OutputDrives& drives, LinkQueue& queue, std::string_view baseUrl = {},
               LinkAdmission* admission = nullptr, std::int64_t modified = -1);

// Replaces the file path with bytes through a temporary file in its folder,
// so that a crash leaves the old file or the new one, never a part; the new
// file gets the modification time given (seconds since 1970) unless it is
// negative.
bool ReplaceFile(const std::string& path, std::string_view bytes, std::int64_t modified = -1);

}  // namespace gleanery
