#include "builder/ContentHash.h"


namespace qarvo::builder {

namespace {

constexpr std::uint64_t multiplier = 0xFF51AFD7ED558CCDull;

std::uint64_t rotate(std::uint64_t value, int bits) { return (value << bits) | (value >> (64 - bits)); }

std::uint64_t finalMix(std::uint64_t h) {
    h ^= h >> 33;
    h *= multiplier;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return h;
}

}  // namespace

void ContentHash::mix(std::uint64_t word) { state_ = rotate(state_ ^ (word * multiplier), 29) * 0x9E3779B97F4A7C15ull; }

void ContentHash::add(const std::uint8_t* bytes, std::size_t size) {
    length_ += size;
    while (size > 0 && pendingBytes_ != 0) {
        pending_ |= std::uint64_t{*bytes++} << (8 * pendingBytes_);
        --size;
        if (++pendingBytes_ == 8) {
            mix(pending_);
            pending_ = 0;
            pendingBytes_ = 0;
        }
    }
    for (; size >= 8; bytes += 8, size -= 8) {
        std::uint64_t word = 0;
        for (int i = 7; i >= 0; --i) word = (word << 8) | bytes[i];
        mix(word);
    }
    for (; size > 0; --size) pending_ |= std::uint64_t{*bytes++} << (8 * pendingBytes_++);
}

std::uint32_t ContentHash::value32() const {
    std::uint64_t h = state_;
    if (pendingBytes_ != 0) h = rotate(h ^ (pending_ * multiplier), 29) * 0x9E3779B97F4A7C15ull;
    h = finalMix(h ^ length_);
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

}  // namespace qarvo::builder
