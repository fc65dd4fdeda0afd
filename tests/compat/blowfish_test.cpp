// The cipher: known answers from blowfish_vectors.py (an independent implementation;
// a fixed random source makes the whole output known), round trips, damaged input.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>

#include "common/files.h"
#include "compat/blowfish.h"

namespace gleanery {
namespace {

struct Vector {
    std::string firstKey, key, plain;  // the first key is assigned before the operation's own, when set
    const char* hex;
};

const std::string kFox = "The quick brown fox jumps", kHigh("\xfa\xfb\xfc\xfd\xfe\xff\x00\x01", 8);
const Vector kVectors[] = {
    {"", "Gleanery", "", "65848B53498B1C75C39F9A21D9D19513"},
    {"", "Gleanery", kFox, "65848B53498B1C75F59A0C97D4FEB420B4E75AFEA220F223212280437A6E127A6F819512B5435463"},
    {"", "Gleanery", kHigh, "65848B53498B1C759117F6021AF3E8EB402D95C4DB82476D"},
    {"", "k\xfc\x80y5", "", "B0C58D6CD5189E45F31AC432E078066A"},
    {"", "k\xfc\x80y5", kFox, "B0C58D6CD5189E4586EBE313450CA53A3A56850D29B3DC1B52AFCB45106FA3324D48723B7CE6CF9C"},
    {"", "k\xfc\x80y5", kHigh, "B0C58D6CD5189E4553733FA5A389F617E5DB689FC6CA9480"},
    // The current key again changes nothing; a new one mixes into it.
    {"Gleanery", "Gleanery", kFox, "65848B53498B1C75F59A0C97D4FEB420B4E75AFEA220F223212280437A6E127A6F819512B5435463"},
    {"Gleanery", "k\xfc\x80y5", "mixed", "8A199116E061CF75799D34BA1CE2D719BCEF35480F123327"},
};

clsBlowfish::RandomSource fixedRandom() {
    return [n = 0]() mutable { return n++ % 2 == 0 ? 0x12345678u : 0x0ABCDEF0u; };
}

TEST(BlowfishKnownAnswer, MatchesTheIndependentImplementation) {
    for (const auto& v : kVectors) {
        clsBlowfish cipher(fixedRandom());
        if (!v.firstKey.empty()) cipher.Key(v.firstKey);
        EXPECT_EQ(cipher.EncryptString(v.plain, v.key, true), v.hex) << v.key << " / " << v.plain;
        if (v.firstKey.empty()) {
            std::string hex = v.hex;
            EXPECT_EQ(clsBlowfish().DecryptString(hex, v.key, true), v.plain);
        }
    }
}

std::string bytes(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 37 + 5);
    return s;
}

TEST(BlowfishRoundTrip, TwoEncryptionsDifferAndBothDecipherInEitherForm) {
    clsBlowfish cipher;
    const std::string text = bytes(256);
    for (const bool hex : {false, true}) {
        const std::string first = cipher.EncryptString(text, "k", hex), second = cipher.EncryptString(text, "k", hex);
        EXPECT_NE(first, second);
        for (std::string c : {first, second}) EXPECT_EQ(clsBlowfish().DecryptString(c, "k", hex), text);
    }
    const std::string hex = cipher.EncryptString(text, "k", true);
    EXPECT_EQ(hex.size(), 2u * (256 + 12 + 4));
    EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
}

TEST(BlowfishRoundTrip, WrongKeyOrDamagedLengthLeavesTheWholeDecipheredArray) {
    std::string enciphered = bytes(30);
    clsBlowfish().EncryptByte(enciphered, "right");
    const auto decipher = [&](std::string a, const char* key) {
        clsBlowfish cipher;
        int percent = -1;
        cipher.Progress = [&](int p) { percent = p; };
        cipher.DecryptByte(a, key);
        EXPECT_EQ(a.size(), enciphered.size());
        EXPECT_NE(percent, 100);
        return a;
    };
    decipher(enciphered, "wrong");
    std::string damaged = enciphered;
    damaged[9] ^= 0x40;  // the block that carries the size descriptor
    EXPECT_EQ(decipher(damaged, "right").substr(24), bytes(30).substr(12) + std::string(6, '\0'));
}

TEST(BlowfishRoundTrip, IncompleteLastBlockStopsThere) {
    std::string a = bytes(30);
    clsBlowfish().EncryptByte(a, "k");
    a.resize(a.size() - 3);
    const std::string tail = a.substr(40);
    clsBlowfish().DecryptByte(a, "k");
    ASSERT_EQ(a.size(), 45u);
    EXPECT_EQ(a.substr(12, 28), bytes(30).substr(0, 28));
    EXPECT_EQ(a.substr(40), tail);
}

TEST(BlowfishRoundTrip, FilesRespectOverwriteAndComeBack) {
    QTemporaryDir dir;
    const auto file = [&](const char* name) { return dir.filePath(name).toStdString(); };
    const std::string plain = file("plain.bin"), sealed = file("sealed.bin"), back = file("back.bin");
    test::writeFile(plain, bytes(777));

    clsBlowfish cipher;
    EXPECT_FALSE(cipher.EncryptFile(file("missing"), sealed, true, "k"));
    EXPECT_TRUE(cipher.EncryptFile(plain, sealed, false, "k"));
    EXPECT_FALSE(cipher.EncryptFile(plain, sealed, false, "k"));
    EXPECT_TRUE(cipher.EncryptFile(plain, sealed, true, "k"));
    EXPECT_TRUE(clsBlowfish().DecryptFile(sealed, back, false, "k"));
    EXPECT_EQ(test::readFile(back), bytes(777));
}

}  // namespace
}  // namespace gleanery
