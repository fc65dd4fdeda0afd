#pragma once
// Bytes of unknown length kept for a moment: in memory while they are few,
// in an unnamed temporary file once they grow, so that a large download
// costs no memory while it waits to be archived.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace gleanery {

class SpooledBytes {
public:
    // The temporary file, when one is needed, goes into this folder.
    explicit SpooledBytes(std::string folder);
    ~SpooledBytes();
    SpooledBytes(SpooledBytes&& other) noexcept;
    SpooledBytes& operator=(SpooledBytes&&) = delete;
    SpooledBytes(const SpooledBytes&) = delete;

    // False when the temporary file could not be written.
    bool append(std::string_view bytes);
    std::uint64_t size() const { return size_; }
    // Hands the bytes to `take` in order, in pieces; false when reading
    // failed or `take` returned false.
    bool read(const std::function<bool(std::string_view)>& take) const;

private:
    bool spill();

    std::string folder_;
    std::string memory_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

}  // namespace gleanery
