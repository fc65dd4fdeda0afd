#include <gtest/gtest.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <vector>

#include "common/fake_settings.h"
#include "links/local_path.h"
#include "links/output_drives.h"
#include "support/failure.h"

namespace gleanery {
namespace {

namespace fs = std::filesystem;

class ScriptedFreeSpace : public FreeSpaceSource {
public:
    std::map<std::string, std::uint64_t> bytes;  // folders not listed cannot be read
    std::uint64_t freeBytes(const std::string& folder) const override {
        const auto it = bytes.find(folder);
        if (it == bytes.end()) throw std::runtime_error("no drive for " + folder);
        return it->second;
    }
};

class OutputDrivesTest : public ::testing::Test {
protected:
    OutputDrivesTest() {
        settings.set("txtSaveLocation", "/one").set("txtSaveLocation2", "/two");
        settings.set("txtSpacePrimary", "5").set("txtSpaceSecondary", "5");
    }
    void setFree(std::uint64_t primary, std::uint64_t secondary) {
        space.bytes["/one"] = primary;
        space.bytes["/two"] = secondary;
    }
    FakeSettings settings;
    ScriptedFreeSpace space;
    OutputDrives drives{settings, space};
};

// Floors are read as numbers at each call.
TEST_F(OutputDrivesTest, ChoosesByFreeSpaceAboveStrictFloorsOfDecimalMegabytes) {
    const struct {
        const char* floor;
        std::uint64_t primary, secondary;
        const char* chosen;
    } cases[] = {
        {"5", 5'000'001, 0, "/one"}, {"5", 5'000'000, 9'000'000, "/two"},  // equal to the floor is not above it
        {"5", 5'100'000, 0, "/one"},                                       // above 5,000,000 though below 5 MiB
        {"none", 1, 0, "/one"},                                            // not a number: 0
        {"0.5", 500'001, 0, "/one"},
    };
    for (const auto& c : cases) {
        settings.set("txtSpacePrimary", c.floor);
        setFree(c.primary, c.secondary);
        EXPECT_EQ(drives.folderFor(kFolderByFreeSpace), c.chosen) << c.floor << " " << c.primary;
    }
}

TEST_F(OutputDrivesTest, OutOfSpaceLastsUntilACheckFindsRoom) {
    setFree(0, 0);
    EXPECT_FALSE(drives.CheckDriveSpace());
    EXPECT_TRUE(drives.outOfSpace());
    setFree(0, 6'000'000);
    EXPECT_TRUE(drives.CheckDriveSpace());
    EXPECT_FALSE(drives.outOfSpace());
}

TEST_F(OutputDrivesTest, AnUnreadableDriveCountsAsFullAndIsReported) {
    space.bytes["/two"] = 9'000'000;  // "/one" cannot be read
    EXPECT_TRUE(drives.CheckDriveSpace());
    EXPECT_EQ(frmDebug::lastReport().routine, "CheckDriveSpace");
    EXPECT_EQ(drives.folderFor(kFolderByFreeSpace), "/two");
    EXPECT_EQ(frmDebug::lastReport().routine, "MakePath");
    space.bytes.clear();
    EXPECT_FALSE(drives.CheckDriveSpace());
}

class MakePathFoldersTest : public ::testing::Test {
protected:
    MakePathFoldersTest() {
        settings.set("txtSaveLocation", primary).set("txtSaveLocation2", secondary);
        settings.set("txtSpacePrimary", "1").set("txtSpaceSecondary", "1");
        space.bytes[primary] = 0;
        space.bytes[secondary] = 0;
        fs::create_directory(primary);
        fs::create_directory(secondary);
    }
    QTemporaryDir tmp;
    std::string primary = tmp.path().toStdString() + "/p";
    std::string secondary = tmp.path().toStdString() + "/s";
    FakeSettings settings;
    ScriptedFreeSpace space;
    OutputDrives drives{settings, space};
};

TEST_F(MakePathFoldersTest, CreatesFoldersOnlyWhenAskedOrByFreeSpace) {
    const std::string url = "http://srv.dom.example/a/b/c.htm";
    EXPECT_EQ(MakePath(url, kPrimaryFolder, false, drives), primary + "/srv.dom.example/a/b/c.htm");
    EXPECT_FALSE(fs::exists(primary + "/srv.dom.example"));

    EXPECT_EQ(MakePath(url, kPrimaryFolder, true, drives), primary + "/srv.dom.example/a/b/c.htm");
    EXPECT_TRUE(fs::is_directory(primary + "/srv.dom.example/a/b"));
    EXPECT_FALSE(fs::exists(primary + "/srv.dom.example/a/b/c.htm"));

    // Both drives below their floors: the secondary, folders made regardless of the flag.
    EXPECT_EQ(MakePath(url, kFolderByFreeSpace, false, drives), secondary + "/srv.dom.example/a/b/c.htm");
    EXPECT_TRUE(fs::is_directory(secondary + "/srv.dom.example/a/b"));
}

TEST_F(MakePathFoldersTest, FolderCreationIgnoresWhatIsInTheWay) {
    fs::create_directories(primary + "/srv.dom.example");
    std::ofstream(primary + "/srv.dom.example/a") << "a file where a folder belongs";
    EXPECT_EQ(MakePath("http://srv.dom.example/a/b/c.htm", kPrimaryFolder, true, drives),
              primary + "/srv.dom.example/a/b/c.htm");
    EXPECT_TRUE(fs::is_regular_file(primary + "/srv.dom.example/a"));
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
