#pragma once
// A download in progress: the body is written to a temporary file beside the
// target ("<target>.part") and renamed onto it only when the transfer
// succeeded, so the target is either the complete new file or left as it was. File names are byte
// strings, used as they are.

#include <cstddef>
#include <cstdint>
#include <string>

namespace gleanery {

class PartFile {
public:
    PartFile() = default;
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;
    // An uncommitted temporary file is removed.
    ~PartFile();

    // Creates the target's folder when missing and a fresh temporary file in
    // it. False when either cannot be created.
    bool open(const std::string& target);
    bool write(const char* data, std::size_t size);
    // Closes the temporary file and renames it onto the target, replacing an
    // existing file, with this modification time (seconds since 1970) unless
    // it is negative. False (and the temporary removed) when that fails.
    bool commit(std::int64_t modified = -1);

private:
    void discard();
    void forget();

    std::string target_;
    std::string temp_;
    int fd_ = -1;
};

}  // namespace gleanery
