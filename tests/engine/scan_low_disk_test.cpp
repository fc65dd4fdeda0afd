// Free space decides where files go: the primary folder while it lies above
// its floor, the secondary one after that, and a stop when both are full,
// from which Resume goes on once there is room again.
#include "engine/live_scan_fixture.h"

#include <mutex>

namespace gleanery::test {
namespace {

// Free bytes per output folder, changed by the test while the scan runs.
class AdjustableFreeSpace final : public FreeSpaceSource {
public:
    std::uint64_t freeBytes(const std::string& folder) const override {
        const std::lock_guard lock(mutex_);
        const auto it = free_.find(folder);
        return it == free_.end() ? kPlenty : it->second;
    }
    void set(const std::string& folder, std::uint64_t bytes) {
        const std::lock_guard lock(mutex_);
        free_[folder] = bytes;
    }

    static constexpr std::uint64_t kPlenty = 1'000'000'000'000;

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::uint64_t> free_;
};

constexpr std::uint64_t kBelowFloor = 1'000'000;  // the floors below are 5 MB

class ScanLowDisk : public LiveScan {
protected:
    ScanLowDisk() { useDrives(); }

    // A newly opened session needs the source and the folders again.
    void useDrives() {
        settings().setText(Field::txtSaveLocation, primary());
        settings().setText(Field::txtSaveLocation2, secondary());
        settings().setText(Field::txtSpacePrimary, "5");
        settings().setText(Field::txtSpaceSecondary, "5");
        scan().useFreeSpaceSource(space);
    }

    std::string primary() const { return inDir("primary"); }
    std::string secondary() const { return inDir("secondary"); }
    std::string fileIn(const std::string& folder, const std::string& path) const {
        return folder + "/127.0.0.1:" + std::to_string(server.port()) + path;
    }

    AdjustableFreeSpace space;
};

TEST_F(ScanLowDisk, FilesGoToTheSecondaryFolderWhileThePrimaryIsBelowItsFloor) {
    const std::vector<std::string> files = site.numberedFiles("f", 6, {});
    site.page("/", {}, files);
    space.set(primary(), kBelowFloor);

    scan().begin();
    ASSERT_TRUE(runToRest());
    EXPECT_EQ(messages.count("Site Scanned"), 1);
    for (const std::string& f : files) {
        SCOPED_TRACE(f);
        EXPECT_EQ(readFile(fileIn(secondary(), f)), LiveSite::fileBytes(f));
        EXPECT_FALSE(QFile::exists(QString::fromStdString(fileIn(primary(), f))));
    }
}

TEST_F(ScanLowDisk, BothFoldersFullStopsOnceAndResumeFinishesAfterRoomIsMade) {
    const std::vector<std::string> files = site.numberedFiles("f", 20, std::chrono::milliseconds(50));
    site.page("/", {}, files);

    scan().begin();
    ASSERT_TRUE(spinUntil([&] { return scan().progress().filesDownloaded >= 3; }));
    space.set(primary(), kBelowFloor);
    space.set(secondary(), kBelowFloor);
    ASSERT_TRUE(runToRest()) << "status: " << scan().status();
    const std::string full = "You have run out of drive space on both output drives.  Scan has been suspended.";
    EXPECT_EQ(messages.count(full), 1);
    EXPECT_EQ(scan().status(), "Execution Stopped... Low Disk Space");
    EXPECT_EQ(messages.count("Site Scanned"), 0);
    ASSERT_FALSE(store().pendingTargets().empty()) << "the scan ended before the drives filled up";

    // Resume while still full: told once more, nothing starts.
    scan().resume();
    EXPECT_EQ(messages.count(full), 2);
    EXPECT_TRUE((scan().state() == ScanState::Idle));

    space.set(primary(), AdjustableFreeSpace::kPlenty);
    scan().resume();
    ASSERT_TRUE(runToRest());
    EXPECT_EQ(messages.count("Site Scanned"), 1);
    EXPECT_EQ(messages.count(full), 2);
    for (const std::string& f : files) {
        SCOPED_TRACE(f);
        EXPECT_EQ(server.hits(f), 1);
        EXPECT_EQ(targets().at(f), 200);
        EXPECT_EQ(readFile(fileIn(primary(), f)), LiveSite::fileBytes(f));
    }
    EXPECT_TRUE(temporaryFilesUnder(primary()).empty());
}

}  // namespace
}  // namespace gleanery::test
