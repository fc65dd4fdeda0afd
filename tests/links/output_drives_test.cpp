#include <gtest/gtest.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

#include "common/fake_settings.h"
#include "links/local_path.h"
#include "links/output_drives.h"
#include "support/failure.h"

namespace gleanery {
namespace {

namespace fs = std::filesystem;

struct ScriptedFreeSpace : FreeSpaceSource {
    std::map<std::string, std::uint64_t> bytes;  // folders not listed cannot be read
    std::uint64_t freeBytes(const std::string& folder) const override {
        if (!bytes.count(folder)) throw std::runtime_error("no drive for " + folder);
        return bytes.at(folder);
    }
};

class OutputDrivesTest : public ::testing::Test {
protected:
    OutputDrivesTest() {
        settings.set("txtSaveLocation", primary).set("txtSaveLocation2", secondary);
        settings.set("txtSpacePrimary", "5").set("txtSpaceSecondary", "5");
        fs::create_directory(primary);
        fs::create_directory(secondary);
    }
    void setFree(std::uint64_t primaryBytes, std::uint64_t secondaryBytes) {
        space.bytes[primary] = primaryBytes;
        space.bytes[secondary] = secondaryBytes;
    }
    QTemporaryDir tmp;
    std::string primary = tmp.path().toStdString() + "/p", secondary = tmp.path().toStdString() + "/s";
    FakeSettings settings;
    ScriptedFreeSpace space;
    OutputDrives drives{settings, space};
};

// Floors are read as numbers at each call.
TEST_F(OutputDrivesTest, ChoosesByFreeSpaceAboveStrictFloorsOfDecimalMegabytes) {
    const struct {
        const char* floor;
        std::uint64_t primary, secondary;
        bool secondaryChosen;
    } cases[] = {
        {"5", 5'000'001, 0, false}, {"5", 5'000'000, 9'000'000, true},  // equal to the floor is not above it
        {"5", 5'100'000, 0, false},                                     // above 5,000,000 though below 5 MiB
        {"none", 1, 0, false},                                          // not a number: 0
        {"0.5", 500'001, 0, false},
    };
    for (const auto& c : cases) {
        settings.set("txtSpacePrimary", c.floor);
        setFree(c.primary, c.secondary);
        EXPECT_EQ(drives.folderFor(kFolderByFreeSpace), c.secondaryChosen ? secondary : primary)
            << c.floor << " " << c.primary;
    }
}

TEST_F(OutputDrivesTest, OutOfSpaceLastsUntilACheckFindsRoomAndAnUnreadableDriveCountsAsFull) {
    setFree(0, 0);
    EXPECT_FALSE(drives.CheckDriveSpace());
    EXPECT_TRUE(drives.outOfSpace());
    setFree(0, 6'000'000);
    EXPECT_TRUE(drives.CheckDriveSpace());
    EXPECT_FALSE(drives.outOfSpace());
    space.bytes.erase(primary);  // cannot be read: reported
    EXPECT_TRUE(drives.CheckDriveSpace());
    EXPECT_EQ(frmDebug::lastReport().routine, "CheckDriveSpace");
    EXPECT_EQ(drives.folderFor(kFolderByFreeSpace), secondary);
    EXPECT_EQ(frmDebug::lastReport().routine, "MakePath");
    space.bytes.clear();
    EXPECT_FALSE(drives.CheckDriveSpace());
}

TEST_F(OutputDrivesTest, MakePathCreatesFoldersOnlyWhenAskedOrByFreeSpaceWhateverIsInTheWay) {
    setFree(0, 0);
    const std::string url = "http://srv.dom.example/a/b/c.htm";
    EXPECT_EQ(MakePath(url, kPrimaryFolder, false, drives), primary + "/srv.dom.example/a/b/c.htm");
    EXPECT_FALSE(fs::exists(primary + "/srv.dom.example"));

    EXPECT_EQ(MakePath(url, kPrimaryFolder, true, drives), primary + "/srv.dom.example/a/b/c.htm");
    EXPECT_TRUE(fs::is_directory(primary + "/srv.dom.example/a/b"));
    EXPECT_FALSE(fs::exists(primary + "/srv.dom.example/a/b/c.htm"));

    // Both drives below their floors: the secondary, folders made regardless of the flag.
    EXPECT_EQ(MakePath(url, kFolderByFreeSpace, false, drives), secondary + "/srv.dom.example/a/b/c.htm");
    EXPECT_TRUE(fs::is_directory(secondary + "/srv.dom.example/a/b"));

    std::ofstream(primary + "/srv.dom.example/x") << "a file where a folder belongs";
    EXPECT_EQ(MakePath("http://srv.dom.example/x/y/z.htm", kPrimaryFolder, true, drives),
              primary + "/srv.dom.example/x/y/z.htm");
    EXPECT_TRUE(fs::is_regular_file(primary + "/srv.dom.example/x"));
}

TEST(DiskFreeSpaceQuery, AMissingFolderCountsAsItsNearestExistingParent) {
    QTemporaryDir tmp;
    const std::string base = tmp.path().toStdString();
    const DiskFreeSpace disk;
    const std::uint64_t here = disk.freeBytes(base);
    EXPECT_GT(here, 0u);
    const std::uint64_t missing = disk.freeBytes(base + "/not/yet/made");
    // Other processes write meanwhile; the same file system gives about the same figure.
    EXPECT_NEAR(double(missing), double(here), 64.0 * 1024 * 1024);
    EXPECT_GT(disk.freeBytes("relative/missing/folder"), 0u);
}

TEST(OutputFolderProblem, MakesAMissingFolderAndNamesOneThatCannotBeWrittenWithTheReason) {
    QTemporaryDir tmp;
    const std::string base = tmp.path().toStdString();
    EXPECT_EQ(outputFolderProblem(base + "/new/out"), "");
    EXPECT_TRUE(fs::is_directory(base + "/new/out"));
    EXPECT_TRUE(fs::is_empty(base + "/new/out"));

    // Permission bits do not bind root; a path under a file fails for everyone.
    std::string blocked = base + "/file.txt/out", reason = "Not a directory";
    std::ofstream(base + "/file.txt") << "a file where a folder belongs";
    if (geteuid() != 0) {
        blocked = base + "/locked", reason = "Permission denied";
        fs::create_directory(blocked);
        fs::permissions(blocked, fs::perms::owner_read | fs::perms::owner_exec);
    }
    EXPECT_EQ(outputFolderProblem(blocked), "The output folder " + blocked + " cannot be written: " + reason);
}

}  // namespace
}  // namespace gleanery
