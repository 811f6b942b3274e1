#include "builder/ContentHash.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "image/LittleEndian.h"

namespace qarvo::builder {

namespace {

constexpr std::uint64_t multiplier = 0xFF51AFD7ED558CCDull;
constexpr std::uint64_t golden = 0x9E3779B97F4A7C15ull;

std::uint64_t rotate(std::uint64_t value, int bits) { return (value << bits) | (value >> (64 - bits)); }

std::uint64_t mix(std::uint64_t state, std::uint64_t word) { return rotate(state ^ (word * multiplier), 29) * golden; }

std::uint64_t finalMix(std::uint64_t h) {
    h ^= h >> 33;
    h *= multiplier;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return h;
}

}  // namespace

void ContentHash::addBlocks(const std::uint8_t* blocks, std::size_t count) {
    std::uint64_t sums[laneCount], sumsOfSums[laneCount];
    std::memcpy(sums, sums_, sizeof sums);
    std::memcpy(sumsOfSums, sumsOfSums_, sizeof sumsOfSums);
    for (std::size_t block = 0; block < count; ++block, blocks += blockSize) {
        for (std::size_t lane = 0; lane < laneCount; ++lane) {
            std::uint32_t word;
            std::memcpy(&word, blocks + 4 * lane, 4);
            if constexpr (std::endian::native == std::endian::big) {
                word = static_cast<std::uint32_t>(readLittleEndian(blocks + 4 * lane, 4));
            }
            sums[lane] += word;
            sumsOfSums[lane] += sums[lane];
        }
    }
    std::memcpy(sums_, sums, sizeof sums);
    std::memcpy(sumsOfSums_, sumsOfSums, sizeof sumsOfSums);
}

void ContentHash::add(const std::uint8_t* bytes, std::size_t size) {
    length_ += size;
    if (pendingBytes_ != 0) {
        const std::size_t taken = std::min(size, blockSize - pendingBytes_);
        std::memcpy(pending_ + pendingBytes_, bytes, taken);
        pendingBytes_ += taken;
        bytes += taken;
        size -= taken;
        if (pendingBytes_ < blockSize) return;
        addBlocks(pending_, 1);
        pendingBytes_ = 0;
    }
    addBlocks(bytes, size / blockSize);
    bytes += size / blockSize * blockSize;
    size %= blockSize;
    std::memcpy(pending_, bytes, size);
    pendingBytes_ = size;
}

std::uint32_t ContentHash::value32() const {
    // The unfinished block, zero-padded (the length tells it from zeros), then
    // every lane through the multiplying mix.
    ContentHash last = *this;
    std::uint8_t tail[blockSize] = {};
    std::memcpy(tail, pending_, pendingBytes_);
    last.addBlocks(tail, 1);
    std::uint64_t h = golden;
    for (std::size_t lane = 0; lane < laneCount; ++lane) {
        h = mix(h, last.sums_[lane]);
        h = mix(h, last.sumsOfSums_[lane]);
    }
    h = finalMix(h ^ length_);
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

}  // namespace qarvo::builder
