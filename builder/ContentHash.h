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
    // Eight lanes of 32-bit words, each with a running sum and a sum of its
    // running sums (the second makes the value depend on where a byte lies):
    // additions only, in lanes the compiler vectorises, so that hashing a
    // large included file costs little next to copying it.
    static constexpr std::size_t laneCount = 8;
    static constexpr std::size_t blockSize = 4 * laneCount;
    void addBlocks(const std::uint8_t* blocks, std::size_t count);

    std::uint64_t sums_[laneCount] = {};
    std::uint64_t sumsOfSums_[laneCount] = {};
    std::uint8_t pending_[blockSize] = {};  // bytes of an unfinished block
    std::size_t pendingBytes_ = 0;
    std::uint64_t length_ = 0;
};

}  // namespace qarvo::builder
