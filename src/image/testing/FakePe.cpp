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

std::vector<std::uint8_t> makeFakePeWithResources(const std::vector<std::uint8_t>& resourceSection) {
    constexpr std::uint32_t peOffset = 0x40, fileAlignment = 0x200, sectionAlignment = 0x1000;
    constexpr std::uint32_t optional = peOffset + pe::optionalHeaderStart, optionalSize = 0xE0;
    constexpr std::uint32_t codeOffset = 0x200, resourceOffset = 0x400;
    const std::uint32_t size = static_cast<std::uint32_t>(resourceSection.size());
    const std::uint32_t rawSize = (size + fileAlignment - 1) / fileAlignment * fileAlignment;

    std::vector<std::uint8_t> image(resourceOffset, 0);
    image[0] = 'M';
    image[1] = 'Z';
    put(image, pe::peOffsetField, peOffset, 4);
    put(image, peOffset, pe::signature, 4);
    put(image, peOffset + pe::machineField, pe::machineI386, 2);
    put(image, peOffset + pe::sectionCountField, 2, 2);
    put(image, peOffset + pe::optionalHeaderSizeField, optionalSize, 2);
    put(image, peOffset + 22, 0x0102, 2);  // an executable for 32-bit machines
    put(image, optional, pe::pe32Magic, 2);
    put(image, optional + 4, fileAlignment, 4);  // SizeOfCode
    put(image, optional + pe::sizeOfInitializedDataField, rawSize, 4);
    put(image, optional + 16, 0x1000, 4);        // AddressOfEntryPoint
    put(image, optional + 28, 0x400000, 4);      // ImageBase
    put(image, optional + pe::sectionAlignmentField, sectionAlignment, 4);
    put(image, optional + pe::fileAlignmentField, fileAlignment, 4);
    put(image, optional + 40, 4, 2);  // operating system version
    put(image, optional + 48, 4, 2);  // subsystem version
    put(image, optional + pe::sizeOfImageField,
        fakeResourceRva + (size + sectionAlignment - 1) / sectionAlignment * sectionAlignment, 4);
    put(image, optional + 60, codeOffset, 4);  // SizeOfHeaders
    put(image, optional + pe::subsystemField, pe::windowSubsystem, 2);
    put(image, optional + pe::pe32DirectoryCountField, 16, 4);
    const std::uint32_t directory = optional + pe::pe32DirectoryCountField + 4 + pe::resourceDirectory * 8;
    put(image, directory, fakeResourceRva, 4);
    put(image, directory + 4, size, 4);

    struct Section {
        const char* name;
        std::uint32_t virtualSize, virtualAddress, rawSize, rawOffset, characteristics;
    } sections[] = {{".text", 1, 0x1000, fileAlignment, codeOffset, 0x60000020},
                    {".rsrc", size, fakeResourceRva, rawSize, resourceOffset, 0x40000040}};
    for (int s = 0; s < 2; ++s) {
        const std::int64_t header = pe::sectionHeaderOffset(peOffset, optionalSize, s);
        for (int c = 0; sections[s].name[c] != 0; ++c) image[header + c] = static_cast<std::uint8_t>(sections[s].name[c]);
        put(image, header + pe::virtualSizeField, sections[s].virtualSize, 4);
        put(image, header + pe::virtualAddressField, sections[s].virtualAddress, 4);
        put(image, header + pe::rawDataSizeField, sections[s].rawSize, 4);
        put(image, header + pe::rawDataOffsetField, sections[s].rawOffset, 4);
        put(image, header + pe::sectionCharacteristicsField, sections[s].characteristics, 4);
    }
    image[codeOffset] = 0xC3;  // ret
    image.insert(image.end(), resourceSection.begin(), resourceSection.end());
    image.resize(resourceOffset + rawSize, 0);
    put(image, optional + pe::checkSumField, peChecksum(image, optional + pe::checkSumField), 4);
    return image;
}

}  // namespace qarvo::testing
