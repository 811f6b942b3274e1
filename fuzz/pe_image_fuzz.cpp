// Arbitrary bytes as the executables the build tool reads: a template for the
// launcher image writer, an image whose resources are replaced, and a built
// launcher for `qarvo inspect`. Whatever they hold, each answer is a result or
// a refusal with its reason, and what was written reads back as written.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "builder/ImageReport.h"
#include "builder/testing/MemoryHost.h"
#include "image/ConfigBlock.h"
#include "image/LauncherImage.h"
#include "image/PeLayout.h"
#include "image/Resources.h"

namespace {

// The writer: a template it accepts becomes an image whose block reads back.
void writeFrom(const std::vector<std::uint8_t>& bytes) {
    qarvo::ConfigBlockContent content;
    content.strings.push_back({122, "com.example.Main"});
    const qarvo::IncludedFileContents files = {{1, 2, 3}};
    std::vector<std::uint8_t> image;
    std::string error;
    if (!qarvo::writeLauncherImage(bytes, content, files, image, error)) {
        if (error.empty()) __builtin_trap();
        return;
    }
    qarvo::MemorySource source(image);
    const qarvo::ConfigBlockRead read = qarvo::parseConfigurationBlock(source);
    if (read.failure != qarvo::ConfigReadFailure::none || !(read.content == content)) __builtin_trap();
    // Behind the block: one entry of 8 length bytes and 3 content bytes.
    if (read.endOffset + 8 + 3 != image.size()) __builtin_trap();
}

// The resource writer: a tree it reads can be written back into the image,
// and what it wrote reads back as the same resources.
void replaceIn(const std::vector<std::uint8_t>& bytes) {
    std::vector<qarvo::Resource> resources;
    std::string error;
    if (!qarvo::readResources(bytes, resources, error)) {
        if (error.empty()) __builtin_trap();
        return;
    }
    std::vector<std::uint8_t> image = bytes;
    if (!qarvo::replaceResources(image, resources, error)) {
        if (error.empty() || image != bytes) __builtin_trap();  // refused: untouched
        return;
    }
    std::vector<qarvo::Resource> again;
    if (!qarvo::readResources(image, again, error) || again.size() != resources.size()) __builtin_trap();
    for (const qarvo::Resource& resource : resources) {
        const qarvo::Resource* found = qarvo::findResource(again, resource.type, resource.name);
        if (!found) __builtin_trap();
    }
}

// `qarvo inspect`: a report, or exit code 1 with the reason on standard error.
void inspect(const std::vector<std::uint8_t>& bytes, bool json) {
    qarvo::builder::testing::MemoryHost host;
    host.files["/in/app.exe"] = bytes;
    std::string output;
    const int code = qarvo::builder::inspect("/in/app.exe", json, host, output);
    if (code == 0 ? output.empty() : (code != 1 || host.standardError.empty())) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::vector<std::uint8_t> bytes(data + 1, data + size);
    switch (data[0] % 3) {
        case 0: writeFrom(bytes); break;
        case 1: replaceIn(bytes); break;
        default: inspect(bytes, (data[0] & 4) != 0); break;
    }
    qarvo::PeImage pe;
    std::string error;
    if (qarvo::parsePeImage(bytes, pe, error) && pe.lastSectionEnd() > bytes.size()) __builtin_trap();
    return 0;
}
