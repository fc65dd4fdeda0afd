// Enciphering and deciphering arrays, strings and files, and the silent ways
// in which deciphering wrong or damaged input ends.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "compat/blowfish.h"

namespace gleanery {
namespace {

std::string bytes(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 37 + 5);
    return s;
}

TEST(BlowfishRoundTrip, ArraysGrowToWholeBlocksAndComeBack) {
    const std::vector<std::pair<std::size_t, std::size_t>> sizes{{0, 16}, {4, 16}, {5, 24}, {1000, 1016}};
    for (const auto& [n, enciphered] : sizes) {
        std::string a = bytes(n);
        clsBlowfish().EncryptByte(a, "secret");
        EXPECT_EQ(a.size(), enciphered) << n;
        clsBlowfish().DecryptByte(a, "secret");
        EXPECT_EQ(a, bytes(n)) << n;
    }
}

TEST(BlowfishRoundTrip, HexStringsAreUpperCaseDigitPairsAndDecodeInPlace) {
    clsBlowfish cipher;
    const std::string text = bytes(256);
    std::string hex = cipher.EncryptString(text, "k", true);
    EXPECT_EQ(hex.size(), 2u * (256 + 12 + 4));
    EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(clsBlowfish().DecryptString(hex, "k", true), text);
}

TEST(BlowfishRoundTrip, TwoEncryptionsDifferAndBothDecipher) {
    clsBlowfish cipher;
    const std::string first = cipher.EncryptString("same text", "key");
    const std::string second = cipher.EncryptString("same text", "key");
    EXPECT_NE(first, second);
    for (std::string c : {first, second}) EXPECT_EQ(clsBlowfish().DecryptString(c, "key"), "same text");
}

struct Recorded {
    clsBlowfish cipher;
    std::vector<int> percents;
    Recorded() {
        cipher.Progress = [this](int p) { percents.push_back(p); };
    }
};

TEST(BlowfishRoundTrip, WrongKeyOrDamagedLengthLeavesTheWholeDecipheredArray) {
    std::string enciphered = bytes(30);
    clsBlowfish().EncryptByte(enciphered, "right");

    Recorded wrongKey;
    std::string a = enciphered;
    wrongKey.cipher.DecryptByte(a, "wrong");
    EXPECT_EQ(a.size(), enciphered.size());
    EXPECT_NE(wrongKey.percents.back(), 100);

    Recorded damaged;
    std::string b = enciphered;
    b[9] ^= 0x40;  // the block that carries the size descriptor
    damaged.cipher.DecryptByte(b, "right");
    EXPECT_EQ(b.size(), enciphered.size());
    EXPECT_NE(damaged.percents.back(), 100);
    EXPECT_EQ(b.substr(24), bytes(30).substr(12) + std::string(6, '\0'));
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
    const std::string plain = dir.filePath("plain.bin").toStdString();
    const std::string sealed = dir.filePath("sealed.bin").toStdString();
    const std::string back = dir.filePath("back.bin").toStdString();
    std::ofstream(plain, std::ios::binary) << bytes(777);

    clsBlowfish cipher;
    EXPECT_FALSE(cipher.EncryptFile(dir.filePath("missing").toStdString(), sealed, true, "k"));
    EXPECT_TRUE(cipher.EncryptFile(plain, sealed, false, "k"));
    EXPECT_FALSE(cipher.EncryptFile(plain, sealed, false, "k"));
    EXPECT_TRUE(cipher.EncryptFile(plain, sealed, true, "k"));
    EXPECT_TRUE(clsBlowfish().DecryptFile(sealed, back, false, "k"));
    std::ifstream in(back, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes(777));
}

}  // namespace
}  // namespace gleanery
