// Hand-made little-endian byte sequences for tests of binary readers, so that
// malformed input can be written field by field.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/ConfigBlock.h"

namespace qarvo::testing {

class ByteBuilder {
public:
    ByteBuilder& i16(std::int16_t v) { return le(static_cast<std::uint16_t>(v), 2); }
    ByteBuilder& i32(std::int32_t v) { return le(static_cast<std::uint32_t>(v), 4); }
    ByteBuilder& u32(std::uint32_t v) { return le(v, 4); }
    ByteBuilder& i64(std::int64_t v) { return le(static_cast<std::uint64_t>(v), 8); }
    ByteBuilder& raw(const std::string& text) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    ByteBuilder& raw(const std::vector<std::uint8_t>& more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
    // A length-prefixed narrow string.
    ByteBuilder& str(const std::string& text) {
        i32(static_cast<std::int32_t>(text.size()));
        return raw(text);
    }
    // A byte-length-prefixed UTF-16LE string.
    ByteBuilder& wstr(const std::u16string& text) {
        i32(static_cast<std::int32_t>(text.size() * 2));
        for (char16_t unit : text) le(unit, 2);
        return *this;
    }

    std::vector<std::uint8_t> bytes;

private:
    ByteBuilder& le(std::uint64_t v, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }
};

// The start of a configuration block: the magic, the two header words, the
// length and the string count; the caller adds the rest.
inline ByteBuilder blockHeader(std::int32_t stringCount) {
    ByteBuilder b;
    b.u32(configBlockMagic).i32(0).i32(0).i64(0).i32(stringCount);
    return b;
}

}  // namespace qarvo::testing
