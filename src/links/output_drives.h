#pragma once
// The job's two output folders, primary (txtSaveLocation) and secondary
// (txtSaveLocation2), each with a free-space floor in megabytes of
// 1,000,000 bytes (txtSpacePrimary, txtSpaceSecondary): which one receives
// the next file, and whether both are full.

#include <cstdint>
#include <string>

#include "support/setting_fields.h"

namespace gleanery {

class SettingsView;

// Folder modes of MakePath.
inline constexpr int kPrimaryFolder = -1;
inline constexpr int kSecondaryFolder = -2;
inline constexpr int kFolderByFreeSpace = -3;  // any other value means the same

inline constexpr double kBytesPerMegabyte = 1'000'000;

// Free space of the file system that holds a folder. Tests simulate full drives.
class FreeSpaceSource {
public:
    virtual ~FreeSpaceSource() = default;
    // Bytes this user may still write there; a folder that does not exist yet
    // counts as its nearest existing parent. Throws when it cannot be read.
    virtual std::uint64_t freeBytes(const std::string& folder) const = 0;
};

class DiskFreeSpace final : public FreeSpaceSource {
public:
    std::uint64_t freeBytes(const std::string& folder) const override;
};

class OutputDrives {
public:
    // The settings and the free-space source must outlive this object.
    OutputDrives(const SettingsView& settings, const FreeSpaceSource& freeSpace);
    explicit OutputDrives(const SettingsView& settings);

    // The folder a MakePath folder mode names. By free space: the primary when
    // it lies above its floor, else the secondary, even when that is full too.
    const std::string& folderFor(int folderMode) const;

    // True when at least one folder lies above its floor.
    bool CheckDriveSpace();

    // Set while the last check found both folders full; Begin and Resume clear it.
    bool outOfSpace() const { return outOfSpace_; }
    void clearOutOfSpace() { outOfSpace_ = false; }

private:
    bool hasRoom(TextKey folderField, TextKey floorField, const char* routine) const;

    const SettingsView& settings_;
    const FreeSpaceSource& freeSpace_;
    bool outOfSpace_ = false;
};

// Creates the folder and every missing parent, then proves that files can be
// made in it by creating and removing one. "" when they can; otherwise the
// message for the user, naming the folder and the system's reason ("The
// output folder /x/y cannot be written: Permission denied"). A folder that
// cannot be written would otherwise pass for a full drive.
std::string outputFolderProblem(const std::string& folder);

}  // namespace gleanery
