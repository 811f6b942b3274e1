// Lays out the extraction benchmark and runs it under Wine: a copy of
// extract_bench.exe carrying one included file of the given size (256 MiB by
// default) of pseudo-random bytes, and a plain copy of those bytes for
// CopyFileA. The file is written in pieces; neither this driver nor the timed
// side holds it whole.
//
//   build/native/bench/extract_bench_driver [MiB] [iterations]
//
// Needs both builds (make) and runs in a throw-away clone of the tests'
// template prefix (made when missing, which takes a few seconds).
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "LauncherFiles.h"
#include "WineHarness.h"
#include "config/ConfigKeys.h"
#include "image/IncludedFilesSection.h"

using namespace qarvo;
using namespace qarvo::wine;

namespace {

// The carrier: extract_bench.exe cut behind its last section, the block, the
// section header of one file; the content follows in writePayload.
bool writeCarrier(const fs::path& path, std::uint64_t size, std::string& error) {
    std::vector<std::uint8_t> bytes;
    std::size_t length = 0;
    if (!readFileBytes(win32Program("bench/extract_bench.exe"), bytes) || !launcherTemplateLength(bytes, length, error)) {
        error = "cannot use bench/extract_bench.exe (build the win32 preset first) " + error;
        return false;
    }
    bytes.resize(length);
    const std::vector<std::uint8_t> block =
        encodeConfigurationBlock(blockContent({{key::includedFileCount, "1"}, {key::includedFileNames, "payload.bin"}}));
    bytes.insert(bytes.end(), block.begin(), block.end());
    const auto header = encodeIncludedFileHeader(static_cast<std::int64_t>(size));
    bytes.insert(bytes.end(), header.begin(), header.end());
    return writeFileBytes(path, bytes);
}

// Appends the content to the carrier, scrambled, and writes it plain.
bool writePayload(const fs::path& carrier, const fs::path& plain, std::uint64_t size) {
    std::ofstream scrambled(carrier, std::ios::binary | std::ios::app), clear(plain, std::ios::binary | std::ios::trunc);
    std::vector<std::uint8_t> chunk(1 << 20);
    std::uint32_t state = 12345;
    for (std::uint64_t done = 0; done < size; done += chunk.size()) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), size - done));
        for (std::size_t i = 0; i < n; ++i) chunk[i] = static_cast<std::uint8_t>((state = state * 1103515245 + 12345) >> 16);
        clear.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(n));
        scrambleIncludedBytes(std::span<std::uint8_t>(chunk.data(), n));
        scrambled.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(n));
    }
    return static_cast<bool>(scrambled) && static_cast<bool>(clear);
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint64_t size = (argc > 1 ? std::max(1, std::atoi(argv[1])) : 256) * (std::uint64_t{1} << 20);
    const int iterations = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    std::string error;
    if (!prepareTemplate(error)) {
        std::cerr << error << "\n";
        return 1;
    }
    std::unique_ptr<Prefix> prefix = Prefix::clone("extract-bench", error);
    if (!prefix) {
        std::cerr << error << "\n";
        return 1;
    }
    const fs::path dir = wineRoot() / "extract-bench";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path carrier = dir / "extract_bench.exe", plain = dir / "payload.bin";
    if (!writeCarrier(carrier, size, error) || !writePayload(carrier, plain, size)) {
        std::cerr << "cannot write the benchmark files: " << error << "\n";
        return 1;
    }
    RunRequest request;
    request.program = carrier;
    request.arguments = {windowsPath(plain), std::to_string(iterations)};
    request.timeoutSeconds = 600;
    RunResult r = prefix->run(request);
    fs::remove_all(dir);
    if (r.exitCode != 0) {
        std::cerr << "extract_bench failed (" << r.exitCode << "): " << r.standardError << "\n";
        return 1;
    }
    std::cout << r.standardOutput;
    return 0;
}
