#include "config/ConfigBlockWriter.h"

#include <iterator>

#include "config/ConfigBlockReader.h"

namespace qarvo {

namespace {

// Bytes written behind the block when no included files follow it.
constexpr std::uint8_t closingMarker[] = {0xE8, 0xE4, 0x13, 0xD5};
constexpr std::size_t fileAlignment = 512;

// Offset of the 64-bit length field: behind the magic and the two header words.
constexpr std::size_t lengthFieldOffset = 12;

class ByteSink {
public:
    explicit ByteSink(std::vector<std::uint8_t>& out) : out_(out) {}

    void u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void u64(std::uint64_t v) {
        for (int i = 0; i < 8; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    // Counts and lengths are 32-bit fields; the builder's values are far below
    // 2 GiB, which is the most a reader accepts.
    void count(std::size_t n) { u32(static_cast<std::uint32_t>(n)); }

    void string(const std::string& text) {
        count(text.size());
        out_.insert(out_.end(), text.begin(), text.end());
    }
    void wideString(const std::u16string& text) {
        count(text.size() * 2);
        for (char16_t unit : text) {
            out_.push_back(static_cast<std::uint8_t>(unit & 0xFF));
            out_.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
    }

private:
    std::vector<std::uint8_t>& out_;
};

}  // namespace

std::vector<std::uint8_t> encodeConfigurationBlock(const ConfigBlockContent& content) {
    std::vector<std::uint8_t> block;
    ByteSink sink(block);
    sink.u32(configBlockMagic);
    sink.u32(0);
    sink.u32(content.opaqueHeaderWord);
    sink.u64(0);  // the length, filled in below once it is known

    sink.count(content.strings.size());
    for (const auto& [key, value] : content.strings) {
        sink.i32(key);
        sink.string(value);
    }
    sink.count(content.wides.size());
    for (const auto& [key, value] : content.wides) {
        sink.i32(key);
        sink.wideString(value);
    }
    sink.count(content.localeSections.size());
    for (const ConfigBlockContent::LocaleSection& section : content.localeSections) {
        sink.string(section.name);
        sink.count(section.entries.size());
        for (const auto& [key, value] : section.entries) {
            sink.i32(key);
            sink.wideString(value);
        }
    }

    // Counted from the start of the length field itself to the end of the block.
    const std::uint64_t length = block.size() - lengthFieldOffset;
    for (int i = 0; i < 8; ++i) {
        block[lengthFieldOffset + i] = static_cast<std::uint8_t>(length >> (8 * i));
    }
    return block;
}

void appendConfigurationBlock(std::vector<std::uint8_t>& file, const ConfigBlockContent& content,
                              bool includedFilesFollow) {
    const std::vector<std::uint8_t> block = encodeConfigurationBlock(content);
    file.insert(file.end(), block.begin(), block.end());
    if (includedFilesFollow) return;
    file.insert(file.end(), std::begin(closingMarker), std::end(closingMarker));
    const std::size_t rest = file.size() % fileAlignment;
    if (rest != 0) file.resize(file.size() + (fileAlignment - rest), 0);
}

}  // namespace qarvo
