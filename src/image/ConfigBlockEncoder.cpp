#include "image/ConfigBlock.h"
#include "image/LittleEndian.h"

namespace qarvo {

namespace {

class BlockSink {
public:
    explicit BlockSink(std::vector<std::uint8_t>& out) : out_(out) {}

    void u32(std::uint32_t v) { appendLittleEndian(out_, v, 4); }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    // Counts and lengths are 32-bit fields; the builder's values are far below
    // 2 GiB, and a reader accepts no text above maxConfigValueBytes.
    void count(std::size_t n) { u32(static_cast<std::uint32_t>(n)); }

    void string(const std::string& text) {
        count(text.size());
        out_.insert(out_.end(), text.begin(), text.end());
    }
    void wideString(const std::u16string& text) {
        count(text.size() * 2);
        for (char16_t unit : text) appendLittleEndian(out_, unit, 2);
    }
    void wideEntries(const std::vector<std::pair<std::int32_t, std::u16string>>& entries) {
        count(entries.size());
        for (const auto& [key, value] : entries) {
            i32(key);
            wideString(value);
        }
    }

private:
    std::vector<std::uint8_t>& out_;
};

}  // namespace

std::vector<std::uint8_t> encodeConfigurationBlock(const ConfigBlockContent& content) {
    std::vector<std::uint8_t> block;
    BlockSink sink(block);
    sink.u32(configBlockMagic);
    sink.u32(0);
    sink.u32(content.opaqueHeaderWord);
    appendLittleEndian(block, 0, 8);  // the length, filled in below once it is known

    sink.count(content.strings.size());
    for (const auto& [key, value] : content.strings) {
        sink.i32(key);
        sink.string(value);
    }
    sink.wideEntries(content.wides);
    sink.count(content.localeSections.size());
    for (const ConfigBlockContent::LocaleSection& section : content.localeSections) {
        sink.string(section.name);
        sink.wideEntries(section.entries);
    }

    // Counted from the start of the length field itself to the end of the block.
    writeLittleEndian(block.data() + configBlockLengthField, block.size() - configBlockLengthField, 8);
    return block;
}

}  // namespace qarvo
