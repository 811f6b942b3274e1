// Reads a configuration block of 2,000 entries natively, as the launcher
// reads its own: readConfigurationFrom over the bytes of a launcher image into
// the process-wide maps; against copying the same bytes and adding them up
// (what any reader must at least do) for scale. Figures, not pass/fail.
//
//   build/bench-release/bench/config_parse_bench [entries] [iterations]
//
// Build it optimised (bench/run does, in build/bench-release): the native
// preset is a debug build.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/ConfigBlockReader.h"
#include "config/Configuration.h"
#include "image/testing/FakePe.h"

using namespace qarvo;

namespace {

// Text entries such as a real block carries: keys 1.., values of 20 to 80
// bytes (paths, options, messages); one in four is wide.
ConfigBlockContent blockOf(int entries) {
    ConfigBlockContent content;
    for (int i = 0; i < entries; ++i) {
        std::string value = "value " + std::to_string(i) + " C:\\Program Files\\App\\lib\\part";
        value.resize(20 + static_cast<std::size_t>(i * 37 % 61), 'x');
        if (i % 4 == 3) {
            content.wides.emplace_back(10000 + i, std::u16string(value.begin(), value.end()));
        } else {
            content.strings.emplace_back(i + 1, std::move(value));
        }
    }
    return content;
}

const char* noLocale() { return nullptr; }

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int entries = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    const int iterations = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    const std::vector<std::uint8_t> image = testing::makeFakeLauncher(blockOf(entries));
    MemorySource source(image);
    std::vector<std::uint8_t> copy(image.size());
    volatile std::uint64_t sink = 0;
    // Batches of `iterations` runs, parse and copy in turn; the median batch.
    constexpr int batches = 15;
    std::vector<double> parse, scan, ratio;
    for (int b = 0; b < batches; ++b) {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < iterations; ++i) {
            clearConfiguration();
            if (readConfigurationFrom(source, noLocale) != ConfigReadFailure::none) {
                std::fprintf(stderr, "config_parse_bench: the block did not read\n");
                return 1;
            }
        }
        const double p = secondsSince(start) / iterations;
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < iterations; ++i) {
            std::memcpy(copy.data(), image.data(), image.size());
            std::uint64_t sum = 0;
            for (std::uint8_t byte : copy) sum += byte;
            sink = sink + sum;
        }
        const double s = secondsSince(start) / iterations;
        parse.push_back(p), scan.push_back(s), ratio.push_back(p / s);
    }
    if (configurationMaps().stringValues.size() + configurationMaps().wideValues.size() !=
        static_cast<std::size_t>(entries)) {
        std::fprintf(stderr, "config_parse_bench: the maps do not hold every entry\n");
        return 1;
    }
    std::printf("| Configuration block of %d entries (%zu bytes) read natively / copy and sum of its bytes | "
                "%.1f (median of %d batches); %.1f us a read, %.1f us a copy and sum | |\n",
                entries, image.size(), median(ratio), batches, median(parse) * 1e6, median(scan) * 1e6);
    return 0;
}
