#pragma once
// The WARC/1.1 file format (ISO 28500): record heads, digests, and the
// gzip members that hold one record each, so that a reader can seek to any
// record by its offset.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gleanery {

struct WarcField {
    std::string name;
    std::string value;
};

// "name: value" lines, each ended by "\r\n", in the fields' order: a record
// head's fields, or the block of a warcinfo record.
std::string warcFieldLines(const std::vector<WarcField>& fields);

// "WARC/1.1", the fields in their order, Content-Length, and the blank line
// that ends the head. The block and the record's closing "\r\n\r\n" follow.
std::string warcRecordHead(const std::vector<WarcField>& fields, std::uint64_t blockLength);
inline constexpr std::string_view kWarcRecordEnd = "\r\n\r\n";

// An SHA-1 digest taken piece by piece, written as WARC digests are:
// "sha1:" and the digest in base32 (RFC 4648, upper case).
class WarcDigest {
public:
    WarcDigest();
    ~WarcDigest();
    WarcDigest(WarcDigest&&) noexcept;
    WarcDigest& operator=(WarcDigest&&) noexcept;
    void add(std::string_view bytes);
    std::string result() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The digest of bytes that are all at hand.
std::string warcDigestOf(std::string_view bytes);

// "2026-12-07T15:04:05Z" for seconds since 1970.
std::string warcDate(std::int64_t secondsSince1970);

// Writes gzip members, one at a time, each from pieces, handing the bytes
// to the member's sink as they come; a sink that returns false ends the
// member unfinished (finish() then returns false too). One writer serves
// every record of a file: setting up a compressor costs more than
// compressing a small record.
class GzipMemberWriter {
public:
    using Sink = std::function<bool(std::string_view)>;
    GzipMemberWriter();
    ~GzipMemberWriter();
    GzipMemberWriter(const GzipMemberWriter&) = delete;
    GzipMemberWriter& operator=(const GzipMemberWriter&) = delete;
    // Without `compress` the member stores its bytes as they are, for
    // media that are compressed already.
    void begin(Sink sink, bool compress = true);
    bool add(std::string_view bytes);
    bool finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace gleanery
