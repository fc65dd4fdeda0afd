#include "support/part_file.h"

#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace gleanery {
namespace {

constexpr const char* kPartMarker = ".part-";
constexpr std::size_t kRandomDigits = 8;

// "<target>.part-<random>", or a short hidden name when the target's own name
// leaves no room for the suffix within the file-name limit.
std::string temporaryNameFor(const std::filesystem::path& target) {
    char random[kRandomDigits + 1];
    std::snprintf(random, sizeof random, "%08x", QRandomGenerator::global()->generate());
    std::string name = target.filename().native();
    if (name.size() + std::char_traits<char>::length(kPartMarker) + kRandomDigits > NAME_MAX) name = ".gleanery";
    return (target.parent_path() / (name + kPartMarker + random)).native();
}

}  // namespace

PartFile::~PartFile() {
    discard();
}

bool PartFile::open(const std::string& target) {
    discard();
    const std::filesystem::path path(target);
    std::error_code ignored;  // a folder that cannot be made shows up as a failing open below
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ignored);

    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::string temp = temporaryNameFor(path);
        fd_ = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            target_ = target;
            temp_ = temp;
            return true;
        }
        if (errno != EEXIST) break;
    }
    return false;
}

bool PartFile::write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool PartFile::commit() {
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    if (closed && ::rename(temp_.c_str(), target_.c_str()) == 0) {
        temp_.clear();
        return true;
    }
    discard();
    return false;
}

void PartFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

}  // namespace gleanery
