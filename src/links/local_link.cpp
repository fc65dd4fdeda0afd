#include "links/local_link.h"

#include <QByteArray>
#include <algorithm>
#include <filesystem>
#include <iterator>

#include "links/local_path.h"
#include "links/output_drives.h"
#include "links/url_utils.h"
#include "support/settings_view.h"
#include "support/text.h"

namespace gleanery {

namespace {

std::string percentEncodePath(std::string_view path) {
    const QByteArray encoded =
        QByteArray::fromRawData(path.data(), qsizetype(path.size())).toPercentEncoding("/");
    return std::string(encoded.constData(), std::size_t(encoded.size()));
}

}  // namespace

std::string FileURL(std::string_view path) {
    namespace fs = std::filesystem;
    // A relative output folder is taken from the current folder, as the files were written.
    const std::string absolute =
        path.starts_with('/') ? std::string(path) : fs::absolute(fs::path(path)).string();
    return "file://" + percentEncodePath(absolute);
}

std::string RelativeFileURL(std::string_view from, std::string_view to) {
    namespace fs = std::filesystem;
    const fs::path relative = fs::path(to).lexically_relative(fs::path(from).parent_path());
    return percentEncodePath(relative.generic_string());
}

LocalLinkMaker::LocalLinkMaker(std::string_view pageUrl, const SettingsView& settings,
                               const OutputDrives& drives)
    : pageUrl_(pageUrl), settings_(settings), drives_(drives), relative_(settings.checked("chkRelative")) {}

const std::string& LocalLinkMaker::pageFile() const {
    // The page is stored under the name its fetched URL maps to; links point
    // into the primary folder whichever folder received the files.
    if (!pageFile_) pageFile_ = MakePath(MakeURL(pageUrl_, settings_), kPrimaryFolder, false, drives_);
    return *pageFile_;
}

std::string LocalLinkMaker::convert(std::string_view link) const {
    if (startsWithNoCase(link, "mailto")) return std::string(link);
    // The fragment names a place in the target, not another file.
    const std::string_view target = link.substr(0, link.find('#'));
    const std::string_view fragment = link.substr(target.size());

    std::string local;
    if (link.starts_with('/') || startsWithNoCase(link, "http")) {
        // The mirror stores a link's file under the URL the robot fetches it by.
        const std::string file =
            MakePath(MakeURL(MakeRelativeURL(pageUrl_, target), settings_), kPrimaryFolder, false, drives_);
        local = relative_ ? RelativeFileURL(pageFile(), file) : FileURL(file);
    } else {
        local.reserve(link.size());
        std::remove_copy(target.begin(), target.end(), std::back_inserter(local), '?');
    }
    return local.append(fragment);
}

}  // namespace gleanery
