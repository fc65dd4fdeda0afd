#include "links/output_drives.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "support/failure.h"
#include "support/settings_view.h"
#include "support/text.h"

namespace gleanery {

namespace {
constexpr const char* kModule = "frmGeneralRobot";
}  // namespace

std::uint64_t DiskFreeSpace::freeBytes(const std::string& folder) const {
    namespace fs = std::filesystem;
    struct statvfs st {};
    if (folder.empty() || ::statvfs(folder.c_str(), &st) != 0) {
        // An output folder is often made only when the first file arrives.
        std::error_code ec;
        fs::path existing = fs::absolute(folder.empty() ? fs::path(".") : fs::path(folder), ec);
        while (!fs::exists(existing, ec) && existing.has_relative_path()) existing = existing.parent_path();
        if (::statvfs(existing.c_str(), &st) != 0)
            throw std::runtime_error("free space of " + folder + " cannot be read");
    }
    return static_cast<std::uint64_t>(st.f_bavail) * st.f_frsize;
}

OutputDrives::OutputDrives(const SettingsView& settings, const FreeSpaceSource& freeSpace)
    : settings_(settings), freeSpace_(freeSpace) {}

OutputDrives::OutputDrives(const SettingsView& settings)
    : OutputDrives(settings, []() -> const FreeSpaceSource& {
          static const DiskFreeSpace disk;
          return disk;
      }()) {}

bool OutputDrives::hasRoom(TextKey folderField, TextKey floorField, const char* routine) const {
    // A drive that cannot be read counts as full.
    std::uint64_t free = 0;
    Routine{kModule, routine}([&] { free = freeSpace_.freeBytes(settings_.text(folderField)); });
    return static_cast<double>(free) > numericValue(settings_.text(floorField)) * kBytesPerMegabyte;
}

const std::string& OutputDrives::folderFor(int folderMode) const {
    if (folderMode == kSecondaryFolder) return settings_.text(Field::txtSaveLocation2);
    if (folderMode == kPrimaryFolder || hasRoom(Field::txtSaveLocation, Field::txtSpacePrimary, "MakePath"))
        return settings_.text(Field::txtSaveLocation);
    return settings_.text(Field::txtSaveLocation2);
}

bool OutputDrives::CheckDriveSpace() {
    const bool ok = hasRoom(Field::txtSaveLocation, Field::txtSpacePrimary, "CheckDriveSpace") ||
                    hasRoom(Field::txtSaveLocation2, Field::txtSpaceSecondary, "CheckDriveSpace");
    outOfSpace_ = !ok;
    return ok;
}

std::string outputFolderProblem(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(folder, error);
    if (!error) {
        // Permission bits alone do not tell: a read-only mount, an ACL or a
        // full inode table refuse a file that the bits would allow.
        std::string probe = (fs::path(folder) / ".gleanery-probe-XXXXXX").string();
        const int fd = ::mkstemp(probe.data());
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.c_str());
            return {};
        }
        error.assign(errno, std::generic_category());
    }
    return "The output folder " + folder + " cannot be written: " + error.message();
}

}  // namespace gleanery
