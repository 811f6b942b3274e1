#include "image/testing/FakeIcon.h"

#include "image/LittleEndian.h"

namespace qarvo::testing {

std::vector<std::uint8_t> bitmapIconImage(std::uint32_t size, std::uint32_t argb) {
    std::vector<std::uint8_t> image;
    appendLittleEndian(image, 40, 4);  // biSize
    appendLittleEndian(image, size, 4);
    appendLittleEndian(image, 2 * size, 4);  // colour and mask
    appendLittleEndian(image, 1, 2);         // planes
    appendLittleEndian(image, 32, 2);        // bits per pixel
    appendLittleEndian(image, 0, 4);         // BI_RGB
    appendLittleEndian(image, size * size * 4, 4);
    image.resize(40, 0);
    for (std::uint32_t i = 0; i < size * size; ++i) appendLittleEndian(image, argb, 4);
    image.resize(image.size() + (size + 31) / 32 * 4 * size, 0);
    return image;
}

std::vector<std::uint8_t> pngIconImage(const std::vector<std::uint8_t>& filler) {
    std::vector<std::uint8_t> image = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    image.insert(image.end(), filler.begin(), filler.end());
    return image;
}

std::vector<std::uint8_t> makeIcoFile(const std::vector<FakeIconImage>& images) {
    std::vector<std::uint8_t> file;
    appendLittleEndian(file, 0, 2);
    appendLittleEndian(file, 1, 2);
    appendLittleEndian(file, images.size(), 2);
    std::size_t offset = 6 + 16 * images.size();
    for (const FakeIconImage& image : images) {
        file.push_back(image.width);
        file.push_back(image.height);
        file.push_back(0);  // colour count
        file.push_back(0);  // reserved
        appendLittleEndian(file, image.planes, 2);
        appendLittleEndian(file, image.bitCount, 2);
        appendLittleEndian(file, image.data.size(), 4);
        appendLittleEndian(file, offset, 4);
        offset += image.data.size();
    }
    for (const FakeIconImage& image : images) file.insert(file.end(), image.data.begin(), image.data.end());
    return file;
}

}  // namespace qarvo::testing
