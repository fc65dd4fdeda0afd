// The cipher on any bytes with any key.
//
// Invariants: deciphering never reads or writes outside the array
// (AddressSanitizer watches); it either shrinks the array to the length its
// header gives, which lies 12 to 19 bytes below the array's, or leaves the
// length as it was; an incomplete last block is left untouched; Progress
// only rises and stays within 0 to 100. Enciphering any plaintext and
// deciphering it with the same key, on separate objects, gives it back, in
// the enciphered length the layout promises. Hexadecimal text deciphers as
// the bytes its pairs give.
//
// Input: the key length (one byte), the key, then the data.

#include <algorithm>

#include "fuzz_support.h"
#include "compat/blowfish.h"

using namespace gleanery;
using namespace gleanery::fuzz;

namespace {

// Watches one object's Progress events.
void watchProgress(clsBlowfish& cipher, std::int32_t& last) {
    cipher.Progress = [&last](std::int32_t percent) {
        FUZZ_REQUIRE(percent >= 0 && percent <= 100, "progress stays within 0 to 100", std::to_string(percent));
        FUZZ_REQUIRE(percent >= last, "progress only rises", std::to_string(last) + " -> " + std::to_string(percent));
        last = percent;
    };
}

// Header numbers from a fixed source keep every run of an input the same.
std::uint32_t fixedRandom() { return 0x12345678u; }

void checkDecrypt(clsBlowfish& cipher, const std::string& key, const std::string& data) {
    std::int32_t last = -1;
    watchProgress(cipher, last);
    std::string bytes = data;
    cipher.DecryptByte(bytes, key);
    cipher.Progress = nullptr;

    if (data.size() % 8 != 0) {
        FUZZ_REQUIRE(bytes.size() == data.size(), "a partial block keeps the length", std::to_string(data.size()));
        const std::size_t whole = data.size() / 8 * 8;
        FUZZ_REQUIRE(bytes.compare(whole, std::string::npos, data, whole) == 0,
                     "the incomplete last block is left as it was", std::to_string(data.size()));
        return;
    }
    if (bytes.size() == data.size()) return;  // a header that does not fit: left deciphered
    FUZZ_REQUIRE(data.size() >= 12 && data.size() - bytes.size() >= 12 && data.size() - bytes.size() <= 19,
                 "deciphering drops 12 to 19 bytes",
                 std::to_string(data.size()) + " -> " + std::to_string(bytes.size()));
    FUZZ_REQUIRE(last == 100, "a finished deciphering reports 100", std::to_string(last));
}

void checkRoundTrip(clsBlowfish& decrypting, const std::string& key, const std::string& plain) {
    clsBlowfish encrypting(fixedRandom);
    std::int32_t last = -1;
    watchProgress(encrypting, last);
    std::string bytes = plain;
    encrypting.EncryptByte(bytes, key);
    FUZZ_REQUIRE(bytes.size() == (plain.size() + 12 + 7) / 8 * 8, "the enciphered layout has its length",
                 std::to_string(plain.size()) + " -> " + std::to_string(bytes.size()));
    FUZZ_REQUIRE(last == 100, "a finished enciphering reports 100", std::to_string(last));

    decrypting.DecryptByte(bytes, key);
    FUZZ_REQUIRE(bytes == plain, "what is enciphered deciphers with the same key", shown(plain.substr(0, 64)));
}

void checkHexText(clsBlowfish& cipher, const std::string& key, const std::string& text) {
    std::string hex = text;
    cipher.DecryptString(hex, key, true);
    FUZZ_REQUIRE(hex.size() == (text.size() + 1) / 2, "two hexadecimal digits make one byte",
                 std::to_string(text.size()) + " -> " + std::to_string(hex.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputReader in(data, size);
    const std::size_t keyLength = in.byte();
    const std::string_view rest = in.rest();
    const std::string key(rest.substr(0, keyLength));
    const std::string text(rest.substr(std::min(keyLength, rest.size())));

    // One object deciphers throughout: the same key again is not scheduled again.
    clsBlowfish decrypting(fixedRandom);
    checkDecrypt(decrypting, key, text);
    checkRoundTrip(decrypting, key, text);
    checkHexText(decrypting, key, text);
    return 0;
}
