#include "image/IconResources.h"

#include <algorithm>

#include "image/LittleEndian.h"

namespace qarvo {

namespace {

constexpr std::size_t headerSize = 6;
constexpr std::size_t fileEntrySize = 16;
constexpr std::size_t groupEntrySize = 14;
constexpr std::uint16_t iconType = 1;
constexpr std::uint16_t cursorType = 2;
constexpr std::uint8_t pngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t bitmapInfoHeaderSize = 40;  // BITMAPINFOHEADER; later headers are larger
constexpr std::size_t bitmapPlanesField = 12;
constexpr std::size_t bitmapBitCountField = 14;

bool fail(std::string& error, std::string message) {
    error = std::move(message);
    return false;
}

std::uint32_t u16(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(readLittleEndian(bytes.data() + offset, 2));
}

std::uint32_t u32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(readLittleEndian(bytes.data() + offset, 4));
}

bool startsWith(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

// Why the first bytes are no icon file header; empty when they are one.
std::string headerProblem(std::span<const std::uint8_t> ico) {
    if (startsWith(ico, pngSignature)) return "not an icon file but a PNG image";
    if (ico.size() >= 2 && ico[0] == 'B' && ico[1] == 'M') return "not an icon file but a bitmap";
    if (ico.size() < headerSize) return "not an icon file: shorter than an icon header";
    if (u16(ico, 0) != 0) return "not an icon file: the header does not start with 0";
    const std::uint32_t type = u16(ico, 2);
    if (type == cursorType) return "not an icon file but a cursor";
    if (type != iconType) return "not an icon file: type " + std::to_string(type);
    if (u16(ico, 4) == 0) return "the icon file holds no images";
    if (ico.size() - headerSize < u16(ico, 4) * fileEntrySize) return "the icon file's directory runs past its end";
    return {};
}

}  // namespace

bool iconResources(std::span<const std::uint8_t> ico, std::uint16_t groupId, std::uint16_t firstIconId,
                   std::uint16_t language, std::vector<Resource>& out, std::string& error) {
    error = headerProblem(ico);
    if (!error.empty()) return false;
    const std::uint32_t count = u16(ico, 4);
    if (groupId == 0 || firstIconId == 0) return fail(error, "icon resource ids start at 1");
    if (std::uint32_t{firstIconId} + count - 1 > 0xFFFF) {
        return fail(error, "icon ids from " + std::to_string(firstIconId) + " for " + std::to_string(count) +
                               " images run beyond 65535");
    }

    std::vector<Resource> icons;
    Resource group{ResourceId{rt::groupIcon, {}}, ResourceId{groupId, {}}, language, 0, {}};
    appendLittleEndian(group.data, 0, 2);
    appendLittleEndian(group.data, iconType, 2);
    appendLittleEndian(group.data, count, 2);
    // Every image is copied: their sizes together are bounded by the file's,
    // or a small file whose directory names its whole self many times over
    // would ask for gigabytes. The images of an icon file never share bytes.
    std::uint64_t imageBytes = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = headerSize + i * fileEntrySize;
        const std::uint32_t size = u32(ico, entry + 8);
        const std::uint32_t offset = u32(ico, entry + 12);
        const std::string which = "image " + std::to_string(i + 1) + " of the icon file";
        if (size == 0) return fail(error, which + " is empty");
        if (offset > ico.size() || size > ico.size() - offset) return fail(error, which + " runs past its end");
        imageBytes += size;
        if (imageBytes > ico.size()) return fail(error, which + " overlaps the images before it");
        const std::span<const std::uint8_t> image = ico.subspan(offset, size);
        std::uint32_t planes = u16(ico, entry + 4);
        std::uint32_t bitCount = u16(ico, entry + 6);
        if (!startsWith(image, pngSignature)) {
            if (size < bitmapInfoHeaderSize || u32(image, 0) < bitmapInfoHeaderSize || u32(image, 0) > size) {
                return fail(error, which + " is neither a PNG image nor a bitmap");
            }
            if (planes == 0) planes = u16(image, bitmapPlanesField);
            if (bitCount == 0) bitCount = u16(image, bitmapBitCountField);
        }
        const std::uint16_t id = static_cast<std::uint16_t>(firstIconId + i);
        icons.push_back(Resource{ResourceId{rt::icon, {}}, ResourceId{id, {}}, language, 0,
                                 std::vector<std::uint8_t>(image.begin(), image.end())});
        group.data.insert(group.data.end(), ico.begin() + static_cast<std::ptrdiff_t>(entry),
                          ico.begin() + static_cast<std::ptrdiff_t>(entry + 4));  // width, height, colours, reserved
        appendLittleEndian(group.data, planes, 2);
        appendLittleEndian(group.data, bitCount, 2);
        appendLittleEndian(group.data, size, 4);
        appendLittleEndian(group.data, id, 2);
    }
    out.insert(out.end(), std::make_move_iterator(icons.begin()), std::make_move_iterator(icons.end()));
    out.push_back(std::move(group));
    return true;
}

bool readIconGroup(std::span<const std::uint8_t> group, std::vector<IconImageInfo>& out, std::string& error) {
    out.clear();
    if (group.size() < headerSize || u16(group, 0) != 0 || u16(group, 2) != iconType) {
        return fail(error, "not an icon group: its header is not that of icons");
    }
    const std::uint32_t count = u16(group, 4);
    if (group.size() - headerSize < count * groupEntrySize) {
        return fail(error, "icon group of " + std::to_string(count) + " images runs past the end of its data");
    }
    std::vector<IconImageInfo> images;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = headerSize + i * groupEntrySize;
        IconImageInfo info;
        info.width = group[entry] == 0 ? 256 : group[entry];
        info.height = group[entry + 1] == 0 ? 256 : group[entry + 1];
        info.colorCount = group[entry + 2];
        info.bitCount = static_cast<std::uint16_t>(u16(group, entry + 6));
        info.byteSize = u32(group, entry + 8);
        info.iconId = static_cast<std::uint16_t>(u16(group, entry + 12));
        images.push_back(info);
    }
    out = std::move(images);
    return true;
}

}  // namespace qarvo
