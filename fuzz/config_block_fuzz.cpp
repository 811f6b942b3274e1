// Feeds arbitrary bytes as a launcher executable to the configuration reader:
// the PE header walk, the block's counts and lengths, the locale sections.
// Build: clang++ -std=c++20 -fsanitize=fuzzer,address,undefined -I src ...
#include <cstddef>
#include <cstdint>
#include <vector>

#include "config/ConfigBlockReader.h"
#include "config/Configuration.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qarvo::MemoryFile file(std::vector<std::uint8_t>(data, data + size));
    // A fixed user locale, so that every section name is compared against one.
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
