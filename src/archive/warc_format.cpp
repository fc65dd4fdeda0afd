#include "archive/warc_format.h"

#include <QCryptographicHash>

#include <algorithm>
#include <ctime>
#include <utility>

#define ZLIB_CONST
#include <zlib.h>

namespace gleanery {

std::string warcRecordHead(const std::vector<WarcField>& fields, std::uint64_t blockLength) {
    std::string head = "WARC/1.1\r\n";
    for (const WarcField& f : fields) head += f.name + ": " + f.value + "\r\n";
    return head + "Content-Length: " + std::to_string(blockLength) + "\r\n\r\n";
}

struct WarcDigest::State {
    QCryptographicHash hash{QCryptographicHash::Sha1};
};

WarcDigest::WarcDigest() : state_(std::make_unique<State>()) {}
WarcDigest::~WarcDigest() = default;
WarcDigest::WarcDigest(WarcDigest&&) noexcept = default;
WarcDigest& WarcDigest::operator=(WarcDigest&&) noexcept = default;

void WarcDigest::add(std::string_view bytes) {
    state_->hash.addData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string WarcDigest::result() const {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
    const QByteArray digest = state_->hash.result();
    std::string out = "sha1:";
    unsigned bits = 0;
    int held = 0;
    for (const char c : digest) {
        bits = (bits << 8) | static_cast<unsigned char>(c);
        for (held += 8; held >= 5; held -= 5) out += kAlphabet[(bits >> (held - 5)) & 31u];
    }
    // 160 bits are 32 whole base32 digits: nothing is left over to pad.
    return out;
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
}  // namespace

struct GzipMemberWriter::State {
    Sink sink;
    z_stream z{};
    std::string out = std::string(kPieceBytes, '\0');
    bool usable = false;
    bool failed = true;  // until a member begins
    int level = Z_BEST_SPEED;

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
};

GzipMemberWriter::GzipMemberWriter() : state_(std::make_unique<State>()) {
    // The fastest level: a scan that archives must stay close to the speed
    // of one that does not, and the archive's size matters less.
    state_->usable = deflateInit2(&state_->z, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) == Z_OK;
}

void GzipMemberWriter::begin(Sink sink, bool compress) {
    State& s = *state_;
    s.sink = std::move(sink);
    const int level = compress ? Z_BEST_SPEED : Z_NO_COMPRESSION;
    s.failed = !s.usable || deflateReset(&s.z) != Z_OK ||
               (level != s.level && deflateParams(&s.z, level, Z_DEFAULT_STRATEGY) != Z_OK);
    s.level = level;
    s.rewind();
}

GzipMemberWriter::~GzipMemberWriter() { deflateEnd(&state_->z); }

bool GzipMemberWriter::add(std::string_view bytes) {
    while (!state_->failed && !bytes.empty()) {
        const std::size_t piece = std::min(bytes.size(), kPieceBytes);
        state_->z.next_in = reinterpret_cast<const Bytef*>(bytes.data());
        state_->z.avail_in = static_cast<uInt>(piece);
        state_->failed = !state_->run(Z_NO_FLUSH);
        bytes.remove_prefix(piece);
    }
    return !state_->failed;
}

bool GzipMemberWriter::finish() {
    if (!state_->failed) state_->failed = !state_->run(Z_FINISH);
    return !state_->failed;
}

}  // namespace gleanery
