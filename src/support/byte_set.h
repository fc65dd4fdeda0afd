#pragma once
// A set of byte values, looked up in one step per byte: the delimiters of
// words and links in a page, the bytes a URL may carry as they are.

#include <array>
#include <cstddef>
#include <string_view>

namespace gleanery {

class ByteSet {
public:
    constexpr explicit ByteSet(std::string_view members, std::string_view more = {}) {
        for (const char c : members) member_[static_cast<unsigned char>(c)] = true;
        for (const char c : more) member_[static_cast<unsigned char>(c)] = true;
    }
    constexpr bool operator()(char c) const { return member_[static_cast<unsigned char>(c)]; }

    // The first member at or after from, or the length of text.
    std::size_t firstIn(std::string_view text, std::size_t from) const {
        while (from < text.size() && !(*this)(text[from])) ++from;
        return from;
    }
    // The last member in [from, to), or npos.
    std::size_t lastIn(std::string_view text, std::size_t from, std::size_t to) const {
        while (to > from)
            if ((*this)(text[--to])) return to;
        return std::string_view::npos;
    }

private:
    std::array<bool, 256> member_{};
};

inline constexpr std::string_view kAlphanumeric = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

}  // namespace gleanery
