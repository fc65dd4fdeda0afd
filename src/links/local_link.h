#pragma once
// The local form of one link on a stored page: where the mirror keeps what the
// link names, written as a URL a browser resolves to exactly that file.

#include <optional>
#include <string>
#include <string_view>

namespace gleanery {

class SettingsView;
class OutputDrives;

// Links that name nothing the mirror stores and stay as written: the empty
// link, a fragment of the page itself, "javascript" and "mailto" (any case),
// "file:///", and any other scheme than http and https ("data:", "ftp:",
// "tel:"), which the robot never follows.
bool KeptAsWritten(std::string_view link);

// "file://" + the absolute form of path. Every byte outside letters, digits,
// "-", ".", "_", "~" and "/" is percent-encoded, so that a browser reads the
// path back as it is (spaces, "#", "%", "?", quotes, non-ASCII) and the URL
// holds none of the characters that delimit links in a page.
std::string FileURL(std::string_view path);

// The path of file to relative to the folder of file from ("../img/a.gif"),
// percent-encoded as FileURL encodes.
std::string RelativeFileURL(std::string_view from, std::string_view to);

// Converts the links found on one page, reading chkRelative once.
class LocalLinkMaker {
public:
    // All three must outlive this object.
    LocalLinkMaker(std::string_view pageUrl, const SettingsView& settings, const OutputDrives& drives);

    // The text to put in place of link: link itself when it is kept as
    // written; else the file the mirror stores for it (the URL the robot
    // resolves and fetches for the link, query included), followed by the
    // link's fragment. Absolute and root-relative links name it by a
    // "file://" URL, or with chkRelative by its path from the page's own
    // file; relative links always by that path, and stay as written when
    // the path is their own text. Throws when a local path cannot be made.
    std::string convert(std::string_view link) const;

private:
    // Where the page itself is stored, for links relative to it.
    const std::string& pageFile() const;

    std::string_view pageUrl_;
    const SettingsView& settings_;
    const OutputDrives& drives_;
    bool relative_;
    mutable std::optional<std::string> pageFile_;
};

}  // namespace gleanery
