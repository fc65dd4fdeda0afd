#include "archive/warc_format.h"

#include <openssl/evp.h>

#include <algorithm>
#include <ctime>
#include <utility>

#define ZLIB_CONST
#include <zlib.h>

namespace gleanery {

std::string warcFieldLines(const std::vector<WarcField>& fields) {
    std::string lines;
    for (const WarcField& f : fields) lines.append(f.name).append(": ").append(f.value).append("\r\n");
    return lines;
}

std::string warcRecordHead(const std::vector<WarcField>& fields, std::uint64_t blockLength) {
    return "WARC/1.1\r\n" + warcFieldLines(fields) + "Content-Length: " + std::to_string(blockLength) + "\r\n\r\n";
}

// OpenSSL's SHA-1 rather than Qt's: it uses the processor's SHA
// instructions, and every byte of an archived scan is digested twice.
struct WarcDigest::State {
    State() { EVP_DigestInit_ex(context, EVP_sha1(), nullptr); }
    ~State() { EVP_MD_CTX_free(context); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    EVP_MD_CTX* context = EVP_MD_CTX_new();
};

WarcDigest::WarcDigest() : state_(std::make_unique<State>()) {}
WarcDigest::~WarcDigest() = default;
WarcDigest::WarcDigest(WarcDigest&&) noexcept = default;
WarcDigest& WarcDigest::operator=(WarcDigest&&) noexcept = default;

void WarcDigest::add(std::string_view bytes) { EVP_DigestUpdate(state_->context, bytes.data(), bytes.size()); }

std::string WarcDigest::result() const {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
    // Finished on a copy, so that more bytes may follow.
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_MD_CTX* copy = EVP_MD_CTX_new();
    EVP_MD_CTX_copy_ex(copy, state_->context);
    EVP_DigestFinal_ex(copy, digest, &length);
    EVP_MD_CTX_free(copy);
    std::string out = "sha1:";
    unsigned bits = 0;
    int held = 0;
    for (unsigned int i = 0; i < length; ++i) {
        bits = (bits << 8) | digest[i];
        for (held += 8; held >= 5; held -= 5) out += kAlphabet[(bits >> (held - 5)) & 31u];
    }
    // 160 bits are 32 whole base32 digits: nothing is left over to pad.
    return out;
}

std::string warcDigestOf(std::string_view bytes) {
    WarcDigest digest;
    digest.add(bytes);
    return digest.result();
}

std::string warcDate(std::int64_t secondsSince1970) {
    const auto t = static_cast<std::time_t>(secondsSince1970);
    std::tm utc{};
    gmtime_r(&t, &utc);
    char text[32];
    const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return std::string(text, n);
}

namespace {
constexpr std::size_t kPieceBytes = 64 * 1024;
// The most a stored deflate block holds.
constexpr std::size_t kStoredBlockBytes = 65535;
// A gzip header without name or time, written on Unix.
constexpr std::string_view kGzipHeader{"\x1f\x8b\x08\0\0\0\0\0\0\x03", 10};

std::string littleEndian(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFFu);
    return out;
}
}  // namespace

struct GzipMemberWriter::State {
    Sink sink;
    z_stream z{};
    std::string out = std::string(kPieceBytes, '\0');
    bool usable = false;
    bool failed = true;  // until a member begins
    bool compress = true;
    // A stored member is written by hand: zlib would clear its match tables
    // for every member only to copy the bytes.
    uLong crc = 0;
    std::uint32_t size = 0;

    // Runs deflate over the pending input, handing each filled output piece
    // to the sink; with Z_FINISH also the member's last bytes.
    bool run(int flush) {
        int rc = Z_OK;
        do {
            rc = deflate(&z, flush);
            const bool ended = rc == Z_STREAM_END;
            if (rc != Z_OK && !ended) return false;
            if (z.avail_out == 0 || ended) {
                const std::size_t produced = out.size() - z.avail_out;
                if (!sink(std::string_view(out.data(), produced))) return false;
                rewind();
            }
        } while (flush == Z_FINISH ? rc != Z_STREAM_END : z.avail_in > 0);
        return true;
    }
    void rewind() {
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
    }
    bool storeBlock(std::string_view bytes, bool last) {
        const auto length = static_cast<std::uint32_t>(bytes.size());
        return sink(std::string(1, last ? '\1' : '\0') + littleEndian(length, 2) +
                    littleEndian(~length & 0xFFFFu, 2)) &&
               (bytes.empty() || sink(bytes));
    }
};

GzipMemberWriter::GzipMemberWriter() : state_(std::make_unique<State>()) {
    // The fastest level: a scan that archives must stay close to the speed
    // of one that does not, and the archive's size matters less.
    state_->usable = deflateInit2(&state_->z, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) == Z_OK;
}

GzipMemberWriter::~GzipMemberWriter() { deflateEnd(&state_->z); }

void GzipMemberWriter::begin(Sink sink, bool compress) {
    State& s = *state_;
    s.sink = std::move(sink);
    s.compress = compress;
    if (compress) {
        s.failed = !s.usable || deflateReset(&s.z) != Z_OK;
        return s.rewind();
    }
    s.crc = crc32_z(0, nullptr, 0);
    s.size = 0;
    s.failed = !s.sink(kGzipHeader);
}

bool GzipMemberWriter::add(std::string_view bytes) {
    State& s = *state_;
    if (!s.compress && !s.failed) {
        s.crc = crc32_z(s.crc, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size());
        s.size += static_cast<std::uint32_t>(bytes.size());
    }
    while (!s.failed && !bytes.empty()) {
        if (!s.compress) {
            const std::size_t piece = std::min(bytes.size(), kStoredBlockBytes);
            s.failed = !s.storeBlock(bytes.substr(0, piece), false);
            bytes.remove_prefix(piece);
            continue;
        }
        const std::size_t piece = std::min(bytes.size(), kPieceBytes);
        s.z.next_in = reinterpret_cast<const Bytef*>(bytes.data());
        s.z.avail_in = static_cast<uInt>(piece);
        s.failed = !s.run(Z_NO_FLUSH);
        bytes.remove_prefix(piece);
    }
    return !s.failed;
}

bool GzipMemberWriter::finish() {
    State& s = *state_;
    if (s.failed) return false;
    s.failed = s.compress ? !s.run(Z_FINISH)
                          : !(s.storeBlock({}, true) &&
                              s.sink(littleEndian(static_cast<std::uint32_t>(s.crc), 4) + littleEndian(s.size, 4)));
    return !s.failed;
}

}  // namespace gleanery
