// Little-endian integers in byte buffers, the byte order of every format in
// the launcher image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qarvo {

// The unsigned value of the `count` bytes at `bytes` (count <= 8).
inline std::uint64_t readLittleEndian(const std::uint8_t* bytes, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t i = count; i-- > 0;) value = (value << 8) | bytes[i];
    return value;
}

// Stores the low `count` bytes of `value` at `bytes`.
inline void writeLittleEndian(std::uint8_t* bytes, std::uint64_t value, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Appends the low `count` bytes of `value` to `out`.
inline void appendLittleEndian(std::vector<std::uint8_t>& out, std::uint64_t value, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace qarvo
