// A fast 64-bit hash of a byte stream, fed in pieces of any size: the same
// bytes give the same value however they are cut. Not cryptographic; it makes
// the block's opaque header word a function of the exe's content.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qarvo::builder {

class ContentHash {
public:
    void add(const std::uint8_t* bytes, std::size_t size);
    // The hash of everything added, folded to 32 bits.
    std::uint32_t value32() const;

private:
    void mix(std::uint64_t word);
    std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
    std::uint64_t pending_ = 0;    // bytes of an unfinished word, little-endian
    std::size_t pendingBytes_ = 0;
    std::uint64_t length_ = 0;
};

}  // namespace qarvo::builder
