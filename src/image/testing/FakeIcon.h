// Icon files made in memory, for tests, fuzz seeds and the launchers of the
// end-to-end tests.
#pragma once

#include <cstdint>
#include <vector>

namespace qarvo::testing {

struct FakeIconImage {
    std::uint8_t width = 16;   // 0 means 256
    std::uint8_t height = 16;  // 0 means 256
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 32;
    std::vector<std::uint8_t> data;
};

// A 32-bit bitmap image of size x size pixels, all of one ARGB colour, as an
// icon holds it: a BITMAPINFOHEADER with twice the height, the pixels bottom
// up, and an AND mask of zeros (every pixel shown).
std::vector<std::uint8_t> bitmapIconImage(std::uint32_t size, std::uint32_t argb);

// A PNG signature followed by `filler`: enough for readers that only look at
// the signature.
std::vector<std::uint8_t> pngIconImage(const std::vector<std::uint8_t>& filler);

// The .ico file of `images`: header, directory, then the images in order.
std::vector<std::uint8_t> makeIcoFile(const std::vector<FakeIconImage>& images);

}  // namespace qarvo::testing
