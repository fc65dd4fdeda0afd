#include "archive/spooled_bytes.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "support/write_all.h"

namespace gleanery {
namespace {
// Ten connections each holding this much stay well within a desktop's means.
constexpr std::size_t kInMemoryBytes = 1024 * 1024;
}  // namespace

SpooledBytes::SpooledBytes(std::string folder) : folder_(std::move(folder)) {}

SpooledBytes::~SpooledBytes() {
    if (fd_ >= 0) ::close(fd_);
}

SpooledBytes::SpooledBytes(SpooledBytes&& other) noexcept
    : folder_(std::move(other.folder_)), memory_(std::move(other.memory_)), fd_(other.fd_), size_(other.size_) {
    other.fd_ = -1;
    other.size_ = 0;
}

bool SpooledBytes::append(std::string_view bytes) {
    size_ += bytes.size();
    if (fd_ < 0 && memory_.size() + bytes.size() <= kInMemoryBytes) {
        memory_.append(bytes);
        return true;
    }
    if (fd_ < 0 && !spill()) return false;
    return writeAll(fd_, bytes);
}

bool SpooledBytes::spill() {
    // Unnamed: nothing is left behind whatever ends the program.
    fd_ = ::open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        std::string name = folder_ + "/.spool-XXXXXX";
        fd_ = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd_ < 0) return false;
        ::unlink(name.c_str());
    }
    const bool written = writeAll(fd_, memory_);
    memory_.clear();
    memory_.shrink_to_fit();
    return written;
}

bool SpooledBytes::read(const std::function<bool(std::string_view)>& take) const {
    if (fd_ < 0) return memory_.empty() || take(memory_);
    std::vector<char> buffer(256 * 1024);
    for (std::uint64_t at = 0; at < size_;) {
        const ssize_t n = ::pread(fd_, buffer.data(), buffer.size(), static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        if (!take(std::string_view(buffer.data(), static_cast<std::size_t>(n)))) return false;
        at += static_cast<std::uint64_t>(n);
    }
    return true;
}

}  // namespace gleanery
