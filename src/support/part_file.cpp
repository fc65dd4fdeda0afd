#include "support/part_file.h"

#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>

#include "support/file_time.h"
#include "support/write_all.h"

#include <fcntl.h>
#include <unistd.h>

namespace gleanery {
namespace {

constexpr const char* kPartSuffix = ".part";

// "<target>.part", or a short hidden name made from a hash of the target's
// name when that leaves no room for the suffix within the file-name limit.
// The name is the same in every run, so a download cut short by a crash is
// overwritten when the target is fetched again instead of staying behind.
std::string temporaryNameFor(const std::filesystem::path& target) {
    std::string name = target.filename().native();
    if (name.size() + std::char_traits<char>::length(kPartSuffix) > NAME_MAX) {
        std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
        for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        char digits[17];
        std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
        name = std::string(".gleanery-") + digits;
    }
    return (target.parent_path() / (name + kPartSuffix)).native();
}

// Temporary names being written now by this process. Two URLs that map to
// the same file may download at once; the second then takes a name of its own.
std::set<std::string>& activeNames() {
    static std::set<std::string> names;
    return names;
}
std::mutex activeMutex;

}  // namespace

PartFile::~PartFile() { discard(); }

bool PartFile::open(const std::string& target) {
    discard();
    const std::filesystem::path path(target);
    const std::string stable = temporaryNameFor(path);
    std::lock_guard lock(activeMutex);
    bool foldersMade = false;
    for (int attempt = 0; attempt < 6; ++attempt) {
        std::string temp = stable;
        const bool taken = activeNames().count(temp) > 0;
        if (taken) {
            char random[16];
            std::snprintf(random, sizeof random, "-%08x", QRandomGenerator::global()->generate());
            temp += random;
        }
        fd_ = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            target_ = target;
            temp_ = temp;
            activeNames().insert(temp);
            return true;
        }
        if (errno == ENOENT && !foldersMade && path.has_parent_path()) {
            // Folders are made when their first file arrives; one that cannot
            // be made shows up as the next open failing.
            std::error_code ignored;
            std::filesystem::create_directories(path.parent_path(), ignored);
            foldersMade = true;
            continue;
        }
        if (errno != EEXIST) break;
        // Left by a run that ended in the middle of a download: no other
        // process writes here, as the job's work store is held exclusively.
        if (!taken) ::unlink(temp.c_str());
    }
    return false;
}

bool PartFile::write(const char* data, std::size_t size) { return writeAll(fd_, std::string_view(data, size)); }

bool PartFile::commit(std::int64_t modified) {
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    if (closed && ::rename(temp_.c_str(), target_.c_str()) == 0) {
        if (modified >= 0) SetModifiedTime(target_, modified);
        forget();
        return true;
    }
    discard();
    return false;
}

void PartFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    forget();
}

void PartFile::forget() {
    if (temp_.empty()) return;
    std::lock_guard lock(activeMutex);
    activeNames().erase(temp_);
    temp_.clear();
}

}  // namespace gleanery
