#include "links/stored_page.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "links/link_rewriting.h"
#include "links/local_path.h"
#include "links/output_drives.h"
#include "links/url_utils.h"
#include "support/settings_view.h"

namespace gleanery {

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A name of its own in path's folder, short enough for any file-name limit.
int createTemporary(const std::string& path, std::string& temp) {
    static unsigned serial = 0;
    const std::string prefix =
        path.substr(0, path.rfind('/') + 1) + ".gleanery-page-" + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp = prefix + std::to_string(serial++);
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view bytes) {
    std::string temp;
    const int fd = createTemporary(path, temp);
    if (fd < 0) return false;
    const bool written = writeAll(fd, bytes);
    if (::close(fd) == 0 && written && ::rename(temp.c_str(), path.c_str()) == 0) return true;
    ::unlink(temp.c_str());
    return false;
}

bool StorePage(std::string_view pageUrl, std::string_view text, const SettingsView& settings,
               const OutputDrives& drives) {
    const std::string file = MakePath(MakeURL(pageUrl, settings), kFolderByFreeSpace, true, drives);
    if (!settings.checked("chkTranslate")) return ReplaceFile(file, text);
    return ReplaceFile(file, ConvertLocal(pageUrl, text, settings, drives));
}

}  // namespace gleanery
