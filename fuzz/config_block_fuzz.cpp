// Feeds arbitrary bytes as a launcher executable to the configuration block
// codec (the PE header walk, the block's counts and lengths, the locale
// sections), to the PE parser, and to the launcher's reader on top of the
// codec. What the codec read must survive being written and read again.
// Build: clang++ -std=c++20 -fsanitize=fuzzer,address,undefined -I src ...
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "config/ConfigBlockReader.h"
#include "config/Configuration.h"
#include "image/PeLayout.h"
#include "image/testing/FakePe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);

    qarvo::MemorySource source(bytes);
    const qarvo::ConfigBlockRead read = qarvo::parseConfigurationBlock(source);
    if (read.endOffset > size) std::abort();
    if (read.failure == qarvo::ConfigReadFailure::none) {
        qarvo::MemorySource again(qarvo::testing::makeFakeLauncher(read.content));
        const qarvo::ConfigBlockRead reread = qarvo::parseConfigurationBlock(again);
        if (reread.failure != qarvo::ConfigReadFailure::none || !(reread.content == read.content)) std::abort();
    }

    qarvo::PeImage pe;
    std::string error;
    if (qarvo::parsePeImage(bytes, pe, error)) {
        if (pe.lastSectionEnd() > size) std::abort();
        qarvo::peChecksum(bytes, pe.checkSumOffset);
    }

    // A fixed user locale, so that every section name is compared against one.
    qarvo::MemorySource file(bytes);
    qarvo::readConfigurationFrom(file, [] { return "de_CH"; });
    // The getters over whatever the reader stored.
    char small[2];
    for (const auto& [key, value] : qarvo::configurationMaps().stringValues) {
        qarvo::getStringValue(key, small, sizeof small);
        qarvo::getIntValue(key);
    }
    qarvo::clearConfiguration();
    return 0;
}
