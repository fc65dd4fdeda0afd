#pragma once
// Where a page or file of the site lands on disk: one folder per host (in
// lower case) under the output folder, then one folder per path segment.
// The path is percent-decoded, except for escapes of "/" and NUL, which stay
// as written; a last segment without a "." names a folder, whose page is
// index.html. So that a browser opens the copy as the site meant it, a
// server script's page ends in ".html" ("about.php.html"), and a query stays
// in the file's name as written, after a "?" and followed by the file's
// extension once more ("list/index.html?page=2.html", "get.zip?v=2.zip",
// "list.php?page=2.html"), with each "/" in it written "%2F". Every URL maps
// to a file strictly inside the output folder, under names the file system
// takes, and the same URL always to the same file.

#include <string>
#include <string_view>

namespace gleanery {

class OutputDrives;

// The full local file name of url under the folder that folderMode names
// (kPrimaryFolder, kSecondaryFolder, anything else by free space). Missing
// folders on the way are created when createFolders is set, and always in
// the free-space mode.
std::string MakePath(std::string_view url, int folderMode, bool createFolders, const OutputDrives& drives);

// The same under an explicit output folder.
std::string MakePathUnder(std::string_view url, std::string_view folder, bool createFolders);

// The copy of url an earlier scan stored, under the primary folder or else
// the secondary one; "" when neither holds one.
std::string StoredCopyOf(std::string_view url, const OutputDrives& drives);

}  // namespace gleanery
