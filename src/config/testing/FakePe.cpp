#include "config/testing/FakePe.h"

namespace qarvo::testing {

namespace {

void put(std::vector<std::uint8_t>& bytes, std::int64_t offset, std::uint32_t value, int size) {
    if (offset < 0) return;
    const std::size_t at = static_cast<std::size_t>(offset);
    if (bytes.size() < at + size) bytes.resize(at + size, 0);
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> makeFakePe(const FakePeLayout& layout) {
    std::vector<std::uint8_t> image(64, 0);
    image[0] = 'M';
    image[1] = 'Z';
    put(image, 60, static_cast<std::uint32_t>(layout.peOffset), 4);

    const std::int64_t pe = layout.peOffset;
    put(image, pe, 0x00004550, 4);  // "PE\0\0"
    put(image, pe + 4, 0x014C, 2);  // i386
    put(image, pe + 6, static_cast<std::uint16_t>(layout.sectionCount), 2);
    put(image, pe + 20, static_cast<std::uint16_t>(layout.optionalHeaderSize), 2);

    // Earlier sections get plausible raw data below the last one; only the last
    // header matters to the launcher.
    const std::int64_t firstHeader = pe + 24 + layout.optionalHeaderSize;
    for (std::int32_t s = 0; s < layout.sectionCount; ++s) {
        const std::int64_t header = firstHeader + std::int64_t{s} * 40;
        const bool last = s == layout.sectionCount - 1;
        put(image, header + 16, static_cast<std::uint32_t>(last ? layout.lastRawDataSize : 0), 4);
        put(image, header + 20, static_cast<std::uint32_t>(last ? layout.lastRawDataOffset : 0), 4);
    }

    const std::int64_t end = layout.blockOffset();
    for (std::int64_t i = static_cast<std::int64_t>(image.size()); i < end; ++i) {
        image.push_back(static_cast<std::uint8_t>(i * 7 + 1));
    }
    return image;
}

std::vector<std::uint8_t> makeFakeLauncher(const ConfigBlockContent& content, const FakePeLayout& layout,
                                           bool includedFilesFollow) {
    std::vector<std::uint8_t> image = makeFakePe(layout);
    appendConfigurationBlock(image, content, includedFilesFollow);
    return image;
}

}  // namespace qarvo::testing
