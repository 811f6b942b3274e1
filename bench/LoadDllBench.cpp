// Times LoadDLL, the launcher's runtime search and jvm.dll load, under Wine.
//
//   loaddll_bench <search sequence> <lowest version> <cold|warm> <iterations>
//
// "cold" removes the probe cache before every iteration, so every candidate
// runs its java.exe; "warm" times starts that find every version in the cache
// (filled by an untimed start when it is empty). Prints one line: mode, iterations, median, min
// and max in milliseconds. PATH is put back after each iteration.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "jre/RuntimeSearch.h"
#include "os/windows/WindowsSystem.h"
#include "report/ErrorReport.h"

using namespace qarvo;

namespace {

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void forgetProbes() { RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\tarnwell\\qarvo\\jvms"); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: loaddll_bench <sequence> <lowest> <cold|warm> <iterations>\n");
        return 2;
    }
    os::installWindowsSystem();
    setQuietErrors();
    configurationMaps().stringValues[key::searchSequence] = argv[1];
    configurationMaps().stringValues[key::lowestVersion] = argv[2];
    const bool cold = std::string(argv[3]) == "cold";
    const int iterations = std::max(1, std::atoi(argv[4]));

    char path[32768] = "";
    GetEnvironmentVariableA("PATH", path, sizeof path);
    const std::string restore = std::string("PATH=") + path;
    if (!cold && !LoadDLL(false)) {
        std::fprintf(stderr, "no runtime found\n");
        return 1;
    }
    std::vector<double> times;
    for (int i = 0; i < iterations; ++i) {
        SetEnvironmentVariableA("PATH", path);
        _putenv(restore.c_str());
        if (cold) forgetProbes();
        const double start = nowMs();
        const bool loaded = LoadDLL(false);
        times.push_back(nowMs() - start);
        if (!loaded) {
            std::fprintf(stderr, "no runtime found\n");
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("%s: %d iterations, median %.2f ms, min %.2f ms, max %.2f ms\n", argv[3], iterations,
                times[times.size() / 2], times.front(), times.back());
    return 0;
}
