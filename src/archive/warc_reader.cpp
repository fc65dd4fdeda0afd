#include "archive/warc_reader.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>

#include "support/text.h"

#define ZLIB_CONST
#include <zlib.h>

namespace gleanery {
namespace {

// Enough for any record head we write and the HTTP head of a block; a block
// itself may be far larger and is only passed through.
constexpr std::size_t kKeptBytes = 64 * 1024;
constexpr std::string_view kBlankLine = "\r\n\r\n";

// One record as its member inflates: the head kept, the block counted,
// digested and its start kept, then the closing bytes checked.
class RecordParser {
public:
    // False once the bytes cannot be a single whole record.
    bool feed(std::string_view bytes) {
        if (!headRead_) {
            const std::size_t seen = head_.size();
            head_.append(bytes);
            const std::size_t end = head_.find(kBlankLine);
            // Not ended yet, or longer than any head we keep.
            if (end == std::string::npos || end > kKeptBytes) return head_.size() <= kKeptBytes;
            bytes.remove_prefix(end + kBlankLine.size() - seen);
            head_.resize(end + 2);
            headRead_ = true;
            if (!parseHead()) return false;
        }
        const std::size_t block = static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), blockLeft_));
        const std::string_view part = bytes.substr(0, block);
        digest_.add(part);
        blockStart_.append(part.substr(0, kKeptBytes - std::min(kKeptBytes, blockStart_.size())));
        blockLeft_ -= block;
        bytes.remove_prefix(block);
        tail_.append(bytes);
        return kWarcRecordEnd.starts_with(tail_);
    }

    bool whole() const {
        // The closing bytes come only after the whole declared block.
        if (tail_ != kWarcRecordEnd) return false;
        const std::string declared = entry_.field("WARC-Block-Digest");
        return !startsWithNoCase(declared, "sha1:") || equalsNoCase(declared, digest_.result());
    }

    WarcEntry entry(std::uint64_t offset, std::uint64_t length) {
        entry_.offset = offset;
        entry_.length = length;
        const std::size_t end = blockStart_.find(kBlankLine);
        if (startsWithNoCase(entry_.field("Content-Type"), "application/http") && end != std::string::npos)
            entry_.httpHead = blockStart_.substr(0, end + 2);
        return std::move(entry_);
    }

private:
    bool parseHead() {
        std::string_view rest = head_;
        bool first = true;
        bool sized = false;
        while (!rest.empty()) {
            const std::size_t eol = rest.find("\r\n");
            const std::string_view line = rest.substr(0, eol);
            rest.remove_prefix(eol + 2);
            if (first) {
                if (line != "WARC/1.1" && line != "WARC/1.0") return false;
                first = false;
                continue;
            }
            const std::size_t colon = line.find(':');
            if (colon == std::string_view::npos || colon == 0) return false;
            WarcField f{std::string(line.substr(0, colon)), trimBlanks(line.substr(colon + 1))};
            if (equalsNoCase(f.name, "Content-Length")) {
                if (sized || !parseLength(f.value)) return false;
                sized = true;
            }
            entry_.fields.push_back(std::move(f));
        }
        return sized;
    }

    bool parseLength(std::string_view digits) {
        if (digits.empty() || digits.size() > 18) return false;
        blockLeft_ = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9') return false;
            blockLeft_ = blockLeft_ * 10 + static_cast<std::uint64_t>(c - '0');
        }
        return true;
    }

    std::string head_;
    bool headRead_ = false;
    std::uint64_t blockLeft_ = 0;
    WarcDigest digest_;
    std::string blockStart_;
    std::string tail_;
    WarcEntry entry_;
};

// The file's bytes as a run of gzip members, inflated one member at a time.
class MemberStream {
public:
    explicit MemberStream(std::FILE* file) : file_(file) { ok_ = inflateInit2(&z_, 15 + 16) == Z_OK; }
    ~MemberStream() { inflateEnd(&z_); }
    MemberStream(const MemberStream&) = delete;
    MemberStream& operator=(const MemberStream&) = delete;

    // Where the next member starts.
    std::uint64_t position() const { return read_ - z_.avail_in; }

    bool atEnd() { return !ok_ || (z_.avail_in == 0 && !refill()); }

    // Inflates the member at position() into the parser; false when it is
    // cut short or damaged, or does not hold one record.
    bool readMember(RecordParser& record) {
        if (inflateReset(&z_) != Z_OK) return false;
        int rc = Z_OK;
        while (rc != Z_STREAM_END) {
            if (z_.avail_in == 0 && !refill()) return false;
            z_.next_out = reinterpret_cast<Bytef*>(out_.data());
            z_.avail_out = static_cast<uInt>(out_.size());
            rc = inflate(&z_, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END) return false;
            if (!record.feed(std::string_view(out_.data(), out_.size() - z_.avail_out))) return false;
        }
        return true;
    }

private:
    bool refill() {
        const std::size_t n = std::fread(in_.data(), 1, in_.size(), file_);
        read_ += n;
        z_.next_in = reinterpret_cast<const Bytef*>(in_.data());
        z_.avail_in = static_cast<uInt>(n);
        return n > 0;
    }

    std::FILE* file_;
    z_stream z_{};
    bool ok_ = false;
    std::uint64_t read_ = 0;
    std::string in_ = std::string(kKeptBytes, '\0');
    std::string out_ = std::string(kKeptBytes, '\0');
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::string WarcEntry::field(std::string_view name) const {
    for (const WarcField& f : fields)
        if (equalsNoCase(f.name, name)) return f.value;
    return {};
}

WarcFileScan scanWarcFile(const std::string& path) {
    WarcFileScan scan;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!file || error) return scan;
    scan.opened = true;
    scan.fileBytes = size;
    MemberStream stream(file.get());
    while (!stream.atEnd()) {
        const std::uint64_t offset = stream.position();
        RecordParser record;
        if (!stream.readMember(record) || !record.whole()) break;
        scan.records.push_back(record.entry(offset, stream.position() - offset));
        scan.soundBytes = stream.position();
    }
    return scan;
}

}  // namespace gleanery
