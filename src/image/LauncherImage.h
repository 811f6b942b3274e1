// Writes a launcher image: a template (the generic launcher, or a launcher
// built from it, with whatever follows its last section) cut behind the raw
// data of its last section, then the configuration block, then either the
// included-files section or, when there are no included files, the closing
// marker and zero bytes up to the next multiple of 512 of the file size.
//
// The block is written as given: the included file count (key 2002) and names
// (key 2003) are the caller's to set, so that a test can write a count or
// names that disagree with the section.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/ConfigBlock.h"

namespace qarvo {

// Bytes behind a block that no included files follow, before the padding.
constexpr std::uint8_t closingMarker[] = {0xE8, 0xE4, 0x13, 0xD5};
constexpr std::size_t imageFileAlignment = 512;

using IncludedFileContents = std::vector<std::vector<std::uint8_t>>;

// What follows a block that no included files follow, in an image of
// `imageSize` bytes up to the end of the block: the closing marker and zero
// bytes up to the next multiple of imageFileAlignment.
std::vector<std::uint8_t> closingTail(std::uint64_t imageSize);

// Appends to `image`, which ends with the raw data of its last section, the
// block of `content` and the section of `includedFiles` (in that order), or
// the closing marker and padding when there are none.
void appendLauncherData(std::vector<std::uint8_t>& image, const ConfigBlockContent& content,
                        const IncludedFileContents& includedFiles = {});

// The length of `templateBytes` up to the end of its last section's raw data.
// False with a message in `error` when they are no PE image (parsePeImage) or
// that end lies inside the headers, where no block can go.
bool launcherTemplateLength(std::span<const std::uint8_t> templateBytes, std::size_t& length, std::string& error);

// `image` = the template up to its last section's end, followed by
// appendLauncherData. A code signature of the template is cut off with the
// rest, and its certificate table entry cleared, which would otherwise point
// into the block. False with a message in `error` (and `image` untouched)
// when launcherTemplateLength fails.
bool writeLauncherImage(std::span<const std::uint8_t> templateBytes, const ConfigBlockContent& content,
                        const IncludedFileContents& includedFiles, std::vector<std::uint8_t>& image,
                        std::string& error);

}  // namespace qarvo
