// Icons as resources: every image of a .ico file as an RT_ICON resource and
// one RT_GROUP_ICON directory naming them, and the reader of such a directory.
//
// A .ico file is a 6-byte header (reserved 0, type 1, image count) followed by
// 16-byte entries (width, height, colour count, reserved, planes, bit count,
// byte size, file offset of the image); a width or height of 0 means 256. The
// group directory has the same header and 14-byte entries that hold the icon
// resource id in place of the file offset. Images are BMP device-independent
// bitmaps without their file header, or PNG files; both are copied unchanged.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/Resources.h"

namespace qarvo {

// Appends to `out` one RT_ICON resource per image of the .ico file in `ico`,
// with the ids firstIconId, firstIconId + 1, ... in the file's order, followed
// by the RT_GROUP_ICON resource `groupId` that lists them, all in `language`
// with code page 0. A group entry whose planes or bit count is 0 takes them
// from the image's bitmap header. False with a message in `error`, and `out`
// untouched, when the bytes are no icon file (a cursor, a PNG or bitmap file
// of its own, a header or an image that runs past the end, an image that is
// neither a bitmap nor a PNG, no images at all), or when an id is 0 or the
// icon ids would run beyond 65535.
bool iconResources(std::span<const std::uint8_t> ico, std::uint16_t groupId, std::uint16_t firstIconId,
                   std::uint16_t language, std::vector<Resource>& out, std::string& error);

// One image as a group directory describes it.
struct IconImageInfo {
    std::uint16_t width = 0;   // in pixels, 1 to 256
    std::uint16_t height = 0;  // in pixels, 1 to 256
    std::uint16_t bitCount = 0;
    std::uint8_t colorCount = 0;  // palette entries; 0 for 256 or more
    std::uint32_t byteSize = 0;   // of the image data
    std::uint16_t iconId = 0;     // of its RT_ICON resource
    bool operator==(const IconImageInfo&) const = default;
};

// Reads the data of an RT_GROUP_ICON resource into `out` (replaced), in
// directory order. False with a message in `error` when the header is not
// that of an icon group or the entries run past the end of the data.
bool readIconGroup(std::span<const std::uint8_t> group, std::vector<IconImageInfo>& out, std::string& error);

}  // namespace qarvo
