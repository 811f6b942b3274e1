#include "image/testing/FakePe.h"

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
    std::vector<std::uint8_t> image(pe::dosHeaderSize, 0);
    image[0] = 'M';
    image[1] = 'Z';
    put(image, pe::peOffsetField, static_cast<std::uint32_t>(layout.peOffset), 4);

    const std::int64_t signature = layout.peOffset;
    put(image, signature, pe::signature, 4);
    put(image, signature + pe::machineField, pe::machineI386, 2);
    put(image, signature + pe::sectionCountField, static_cast<std::uint16_t>(layout.sectionCount), 2);
    put(image, signature + pe::optionalHeaderSizeField, static_cast<std::uint16_t>(layout.optionalHeaderSize), 2);
    if (layout.optionalHeaderSize >= 2) put(image, signature + pe::optionalHeaderStart, pe::pe32Magic, 2);

    // Earlier sections get plausible raw data below the last one; only the last
    // header matters to the launcher.
    for (std::int32_t s = 0; s < layout.sectionCount; ++s) {
        const std::int64_t header = pe::sectionHeaderOffset(layout.peOffset, layout.optionalHeaderSize, s);
        const bool last = s == layout.sectionCount - 1;
        put(image, header + pe::rawDataSizeField, static_cast<std::uint32_t>(last ? layout.lastRawDataSize : 0), 4);
        put(image, header + pe::rawDataOffsetField, static_cast<std::uint32_t>(last ? layout.lastRawDataOffset : 0), 4);
    }

    const std::int64_t end = layout.blockOffset();
    for (std::int64_t i = static_cast<std::int64_t>(image.size()); i < end; ++i) {
        image.push_back(static_cast<std::uint8_t>(i * 7 + 1));
    }
    return image;
}

std::vector<std::uint8_t> makeFakeLauncher(const ConfigBlockContent& content, const FakePeLayout& layout,
                                           const IncludedFileContents& includedFiles) {
    std::vector<std::uint8_t> image = makeFakePe(layout);
    appendLauncherData(image, content, includedFiles);
    return image;
}

std::vector<std::uint8_t> makeFakePeWithTail(const std::vector<std::uint8_t>& tail, const FakePeLayout& layout) {
    std::vector<std::uint8_t> image = makeFakePe(layout);
    image.insert(image.end(), tail.begin(), tail.end());
    return image;
}

}  // namespace qarvo::testing
