// Times the extraction of an included file against CopyFileA of the same
// bytes, alternated in one process, under Wine.
//
//   extract_bench <plain copy of the included file> <iterations>
//
// This program carries the included file itself: the driver appends a block
// (keys 2002 and 2003) and the section to a copy of it. Each iteration
// extracts the file with the launcher's own code into a fresh launcher
// temporary directory, then copies the plain file with CopyFileA into the
// same temporary directory; what both wrote is deleted, untimed, before the
// next iteration. Prints both rates in MB/s (medians), the median of the
// iterations' ratios, and the process's peak working set.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "config/ReadConfiguration.h"
#include "os/windows/WindowsSystem.h"
#include "payload/IncludedFiles.h"
#include "payload/TempDirectories.h"
#include "report/ErrorReport.h"

using namespace qarvo;

namespace {

double nowSeconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The extracted file, the launcher temporary directory and the empty file that
// reserved its name.
void removeExtraction(const std::string& name) {
    const std::string directory = launcherTempDirectory();
    DeleteFileA((directory + "\\" + name).c_str());
    RemoveDirectoryA(directory.c_str());
    DeleteFileA(directory.substr(0, directory.size() - 4).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: extract_bench <plain file> <iterations>\n");
        return 2;
    }
    os::installWindowsSystem();
    setQuietErrors();
    readConfiguration();
    const std::string name = getStringValue(key::includedFileNames);
    const int iterations = std::max(1, std::atoi(argv[2]));
    WIN32_FILE_ATTRIBUTE_DATA plain;
    if (!GetFileAttributesExA(argv[1], GetFileExInfoStandard, &plain)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const double megabytes = (static_cast<double>(plain.nFileSizeHigh) * 4294967296.0 + plain.nFileSizeLow) / 1e6;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string copy = std::string(temp) + "qvo_bench_copy.bin";

    std::vector<double> extraction, copying, ratios;
    for (int i = 0; i < iterations; ++i) {
        double start = nowSeconds();
        if (extractIncludedFiles(true) != 0) {
            std::fprintf(stderr, "extraction failed\n");
            return 1;
        }
        const double extracted = nowSeconds() - start;
        removeExtraction(name);
        start = nowSeconds();
        if (!CopyFileA(argv[1], copy.c_str(), FALSE)) {
            std::fprintf(stderr, "CopyFileA failed (%lu)\n", GetLastError());
            return 1;
        }
        const double copied = nowSeconds() - start;
        DeleteFileA(copy.c_str());
        extraction.push_back(megabytes / extracted);
        copying.push_back(megabytes / copied);
        ratios.push_back(copied / extracted);
    }
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("%.0f MB, %d iterations, copy buffer %u KiB: extraction %.0f MB/s, CopyFileA %.0f MB/s, "
                "ratio %.2f (min %.2f, max %.2f); peak working set %.1f MiB\n",
                megabytes, iterations, static_cast<unsigned>(copyBufferSize / 1024), median(extraction),
                median(copying), median(ratios), *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()),
                static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
    return 0;
}
