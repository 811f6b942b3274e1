// Reads arbitrary bytes as the resource section of an image: loops, shared
// directories and hostile counts and offsets must end in a failure, never in
// a read past the buffer or work beyond the section's size. A tree that is
// accepted must encode and read back to the same resources.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/Resources.h"
#include "image/testing/FakePe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> image =
        qarvo::testing::makeFakePeWithResources(std::vector<std::uint8_t>(data, data + size));
    std::vector<qarvo::Resource> read;
    std::string error;
    if (!qarvo::readResources(image, read, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    std::vector<std::uint8_t> section;
    // A tree may hold the same type, name and language twice; the encoder refuses that.
    if (!qarvo::encodeResourceSection(read, qarvo::testing::fakeResourceRva, section, error)) return 0;
    std::vector<qarvo::Resource> again;
    if (!qarvo::readResources(qarvo::testing::makeFakePeWithResources(section), again, error)) std::abort();
    if (again.size() != read.size()) std::abort();
    return 0;
}
