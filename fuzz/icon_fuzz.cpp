// Reads arbitrary bytes as an icon file: hostile counts and offsets must end
// in a failure, never in a read past the buffer. What is accepted must give
// one icon per image and a group that reads back with the same images.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "image/IconResources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> ico(data, size);
    std::vector<qarvo::Resource> out;
    std::string error;
    if (!qarvo::iconResources(ico, 1, 1, 0, out, error)) {
        if (!out.empty() || error.empty()) std::abort();
        return 0;
    }
    std::vector<qarvo::IconImageInfo> images;
    if (out.size() < 2 || !qarvo::readIconGroup(out.back().data, images, error)) std::abort();
    if (images.size() != out.size() - 1) std::abort();
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (images[i].iconId != out[i].name.id || images[i].byteSize != out[i].data.size()) std::abort();
    }
    // The group reader alone, on the same bytes.
    qarvo::readIconGroup(ico, images, error);
    return 0;
}
