#include "compat/blowfish.h"

#include <QFile>
#include <QSaveFile>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "compat/blowfish_constants.h"
#include "support/text.h"

namespace gleanery {

namespace {

constexpr std::size_t kHeaderSize = 12;

std::uint32_t readBigEndian(const std::string& a, std::size_t at) {
    std::uint32_t w = 0;
    for (std::size_t i = 0; i < 4; ++i) w = (w << 8) | static_cast<unsigned char>(a[at + i]);
    return w;
}

void writeBigEndian(std::string& a, std::size_t at, std::uint32_t w) {
    for (std::size_t i = 0; i < 4; ++i) a[at + i] = static_cast<char>(w >> (24 - 8 * i));
}

std::uint32_t readLittleEndian(const std::string& a, std::size_t at) {
    std::uint32_t w = 0;
    for (std::size_t i = 4; i-- > 0;) w = (w << 8) | static_cast<unsigned char>(a[at + i]);
    return w;
}

void writeLittleEndian(std::string& a, std::size_t at, std::uint32_t w) {
    for (std::size_t i = 0; i < 4; ++i) a[at + i] = static_cast<char>(w >> (8 * i));
}

std::string toHex(const std::string& bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        hex += digits[code >> 4];
        hex += digits[code & 15];
    }
    return hex;
}

// One pair read as the numeric conversion reads "&H" followed by it: blanks
// are ignored, the valid leading hexadecimal digits count, nothing valid is 0.
char hexPairValue(std::string_view pair) {
    int value = 0;
    for (char c : pair) {
        if (c == ' ' || c == '\t' || c == '\n') continue;
        const int digit = hexDigitValue(c);
        if (digit < 0) break;
        value = value * 16 + digit;
    }
    return static_cast<char>(value);
}

std::string fromHex(std::string_view hex) {
    std::string bytes;
    bytes.reserve((hex.size() + 1) / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) bytes += hexPairValue(hex.substr(i, 2));
    return bytes;
}

}  // namespace

clsBlowfish::clsBlowfish(RandomSource random) : P_(blowfish::kInitialP), random_(std::move(random)) {
    for (std::size_t b = 0; b < 4; ++b)
        for (std::size_t x = 0; x < 256; ++x) S_[b][x] = blowfish::kPublishedS[4 * x + b];
    if (!random_) generator_.seed(std::random_device{}());
}

std::uint32_t clsBlowfish::nextRandom() {
    if (random_) return random_() & 0x7FFFFFFFu;
    return std::uniform_int_distribution<std::uint32_t>(0, 0x7FFFFFFF)(generator_);
}

std::uint32_t clsBlowfish::F(std::uint32_t w) const {
    return ((S_[0][w >> 24] + S_[1][(w >> 16) & 255]) ^ S_[2][(w >> 8) & 255]) + S_[3][w & 255];
}

clsBlowfish::Block clsBlowfish::encipher(Block b) const {
    auto [l, r] = b;
    for (std::size_t i = 0; i < 16; i += 2) {
        l ^= P_[i];
        r ^= F(l);
        r ^= P_[i + 1];
        l ^= F(r);
    }
    return {r ^ P_[17], l ^ P_[16]};
}

clsBlowfish::Block clsBlowfish::decipher(Block b) const {
    std::uint32_t l = b.right ^ P_[16];
    std::uint32_t r = b.left ^ P_[17];
    for (std::size_t i = 16; i > 0;) {
        i -= 2;
        l ^= F(r);
        r ^= P_[i + 1];
        r ^= F(l);
        l ^= P_[i];
    }
    return {l, r};
}

void clsBlowfish::Key(const std::string& New_Value) {
    if (New_Value == key_) return;
    if (New_Value.empty()) throw std::invalid_argument("a Blowfish key cannot be empty");
    key_ = New_Value;
    const std::size_t m = key_.size();
    std::size_t pos = 0;
    for (auto& p : P_) {
        // Each key byte is also ORed into every lower byte of the word.
        std::uint32_t word = 0;
        for (int j = 0; j < 4; ++j) {
            word = (word << 8) | (word & 0xFF);
            word |= static_cast<unsigned char>(key_[pos++ % m]);
        }
        p ^= word;
    }
    Block block{0, 0};
    for (std::size_t i = 0; i < P_.size(); i += 2) {
        block = encipher(block);
        P_[i] = block.left;
        P_[i + 1] = block.right;
    }
    for (auto& box : S_) {
        for (std::size_t x = 0; x < box.size(); x += 2) {
            block = encipher(block);
            box[x] = block.left;
            box[x + 1] = block.right;
        }
    }
}

void clsBlowfish::applyKey(const std::string& key) {
    if (!key.empty()) Key(key);
}

void clsBlowfish::ProgressSteps::raise(std::int32_t percent) {
    last_ = percent;
    if (owner_.Progress) owner_.Progress(percent);
}

void clsBlowfish::ProgressSteps::atOffset(std::size_t offset) {
    if (static_cast<double>(offset) < threshold_) return;
    const auto percent = static_cast<std::int32_t>(static_cast<double>(offset) / total_ * 100);
    raise(percent);
    // Nearest whole number, halves to even.
    threshold_ = std::nearbyint(total_ * (percent + 1) / 100 + 1);
}

void clsBlowfish::ProgressSteps::finish() {
    if (last_ != 100) raise(100);
}

void clsBlowfish::EncryptByte(std::string& byteArray, const std::string& key) {
    applyKey(key);
    const std::size_t n = byteArray.size();
    // The length travels as a 32-bit number.
    if (n > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) - 19)
        throw std::length_error("too much data for one Blowfish array");
    const std::size_t total = (n + kHeaderSize + 7) / 8 * 8;
    byteArray.insert(0, kHeaderSize, '\0');
    byteArray.resize(total, '\0');
    writeLittleEndian(byteArray, 8, static_cast<std::uint32_t>(n));
    writeLittleEndian(byteArray, 0, nextRandom());
    writeLittleEndian(byteArray, 4, nextRandom());

    ProgressSteps progress(*this, total);
    Block previous{0, 0};
    for (std::size_t offset = 0; offset < total; offset += 8) {
        previous = encipher(
            {readBigEndian(byteArray, offset) ^ previous.left, readBigEndian(byteArray, offset + 4) ^ previous.right});
        writeBigEndian(byteArray, offset, previous.left);
        writeBigEndian(byteArray, offset + 4, previous.right);
        progress.atOffset(offset);
    }
    progress.finish();
}

void clsBlowfish::DecryptByte(std::string& byteArray, const std::string& key) {
    applyKey(key);
    const std::size_t total = byteArray.size();
    ProgressSteps progress(*this, total);
    Block previous{0, 0};
    for (std::size_t offset = 0; offset < total; offset += 8) {
        if (offset + 8 > total) return;  // an incomplete last block ends the work silently
        const Block cipher{readBigEndian(byteArray, offset), readBigEndian(byteArray, offset + 4)};
        const Block plain = decipher(cipher);
        writeBigEndian(byteArray, offset, plain.left ^ previous.left);
        writeBigEndian(byteArray, offset + 4, plain.right ^ previous.right);
        previous = cipher;
        progress.atOffset(offset);
    }
    if (total < kHeaderSize) return;
    const auto n = static_cast<std::int32_t>(readLittleEndian(byteArray, 8));
    const auto overhead = static_cast<std::int64_t>(total) - n;
    if (overhead < 12 || overhead > 19) return;  // wrong key or damaged data: left as deciphered
    byteArray.erase(0, kHeaderSize);
    byteArray.resize(static_cast<std::size_t>(n));
    progress.finish();
}

std::string clsBlowfish::EncryptString(const std::string& text, const std::string& key, bool outputInHex) {
    std::string bytes = text;
    EncryptByte(bytes, key);
    return outputInHex ? toHex(bytes) : bytes;
}

std::string clsBlowfish::DecryptString(std::string& text, const std::string& key, bool isTextInHex) {
    if (isTextInHex) text = fromHex(text);
    std::string bytes = text;
    DecryptByte(bytes, key);
    return bytes;
}

bool clsBlowfish::transformFile(const std::string& inFile, const std::string& outFile, bool overwrite,
                                const std::string& key, bool encrypt) {
    if (!FileExists(inFile)) return false;
    if (FileExists(outFile) && !overwrite) return false;
    try {
        QFile in(QFile::decodeName(QByteArray::fromStdString(inFile)));
        if (!in.open(QIODevice::ReadOnly)) return false;
        std::string bytes = in.readAll().toStdString();
        if (in.error() != QFileDevice::NoError) return false;
        in.close();
        if (encrypt)
            EncryptByte(bytes, key);
        else
            DecryptByte(bytes, key);
        // Replaced in one step, so a failed write never costs the old file.
        QSaveFile out(QFile::decodeName(QByteArray::fromStdString(outFile)));
        return out.open(QIODevice::WriteOnly) &&
               out.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) &&
               out.flush() && out.commit();
    } catch (const std::exception&) {
        return false;
    }
}

bool clsBlowfish::EncryptFile(const std::string& inFile, const std::string& outFile, bool overwrite,
                              const std::string& key) {
    return transformFile(inFile, outFile, overwrite, key, true);
}

bool clsBlowfish::DecryptFile(const std::string& inFile, const std::string& outFile, bool overwrite,
                              const std::string& key) {
    return transformFile(inFile, outFile, overwrite, key, false);
}

}  // namespace gleanery
