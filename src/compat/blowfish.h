#pragma once
// A Blowfish-based cipher for byte arrays, strings and files, keyed by text.
//
// Its output is not interchangeable with other Blowfish implementations: the
// S-boxes hold the published initial words in an arrangement of their own
// (box b, entry x = published word 4x + b), and each key byte drawn into a
// key word is also ORed into all lower bytes of that word. Enciphered data
// is chained (CBC, zero start block) and carries a header: two random numbers
// and the data length, then the data, zero-padded to whole 8-byte blocks.
//
// The key schedule works on the object's current tables, so a second,
// different key mixes into what the first one left: use a fresh object for
// every key whose results must agree with another object's.

#include <array>
#include <cstdint>
#include <functional>
#include <random>
#include <string>

namespace gleanery {

class clsBlowfish {
public:
    // Yields whole numbers from 0 to 2147483647 for the header.
    using RandomSource = std::function<std::uint32_t()>;

    // Without a source, a generator seeded once per object is used, so two
    // encryptions in quick succession still differ.
    explicit clsBlowfish(RandomSource random = {});

    // Raised with a percentage while an array is enciphered or deciphered.
    std::function<void(std::int32_t Percent)> Progress;

    // Sets the key and runs the key schedule; the current key again changes
    // nothing. An empty key cannot be scheduled (std::invalid_argument).
    void Key(const std::string& New_Value);

    // In every operation below a non-empty key is assigned first; an empty one
    // leaves the current key in force. Arrays are bytes, one char each.

    // Grows the array to the enciphered layout (12 to 19 bytes more).
    void EncryptByte(std::string& byteArray, const std::string& key = {});
    // Shrinks the array back to the data. Wrong keys and damaged input are
    // not reported: a size descriptor that does not fit leaves the whole
    // deciphered array (header included), and a length that is not a whole
    // number of blocks stops at the incomplete last block.
    void DecryptByte(std::string& byteArray, const std::string& key = {});

    // Hexadecimal output is two upper-case digits per byte.
    std::string EncryptString(const std::string& text, const std::string& key = {}, bool outputInHex = false);
    // With isTextInHex, text is replaced by its decoded form first.
    std::string DecryptString(std::string& text, const std::string& key = {}, bool isTextInHex = false);

    // True when the output file was written; false when the input is
    // missing, the output exists and may not be overwritten, or any step fails.
    bool EncryptFile(const std::string& inFile, const std::string& outFile, bool overwrite,
                     const std::string& key = {});
    bool DecryptFile(const std::string& inFile, const std::string& outFile, bool overwrite,
                     const std::string& key = {});

private:
    struct Block {
        std::uint32_t left;
        std::uint32_t right;
    };

    // Raises Progress at the thresholds of one pass over an array.
    class ProgressSteps {
    public:
        ProgressSteps(const clsBlowfish& owner, std::size_t total)
            : owner_(owner), total_(static_cast<double>(total)) {}
        void atOffset(std::size_t offset);
        void finish();

    private:
        void raise(std::int32_t percent);
        const clsBlowfish& owner_;
        double total_;
        double threshold_ = 0;
        std::int32_t last_ = -1;
    };

    std::uint32_t F(std::uint32_t w) const;
    Block encipher(Block b) const;
    Block decipher(Block b) const;
    void applyKey(const std::string& key);
    bool transformFile(const std::string& inFile, const std::string& outFile, bool overwrite, const std::string& key,
                       bool encrypt);
    std::uint32_t nextRandom();

    std::array<std::uint32_t, 18> P_;
    std::array<std::array<std::uint32_t, 256>, 4> S_;
    std::string key_;
    RandomSource random_;
    std::mt19937 generator_;
};

}  // namespace gleanery
