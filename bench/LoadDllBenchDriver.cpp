// Times LoadDLL under Wine over a five-candidate search sequence: four
// shipped runtimes too old for the lowest version, then an acceptable one.
// Cold starts probe all five with "-version"; warm starts take every version
// from the registry cache and start no process.
//
//   build/native/bench/loaddll_bench_driver [iterations]
//
// Needs both builds (make) and runs in a throw-away clone of the tests'
// template prefix (made when missing, which takes a few seconds).
#include <cstdlib>
#include <iostream>

#include "TestRuntimes.h"

using namespace qarvo::wine;

int main(int argc, char** argv) {
    const int iterations = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    std::string error;
    if (!prepareTemplate(error)) {
        std::cerr << error << "\n";
        return 1;
    }
    std::unique_ptr<Prefix> prefix = Prefix::clone("loaddll-bench", error);
    if (!prefix) {
        std::cerr << error << "\n";
        return 1;
    }
    const fs::path bench = win32Program("bench/loaddll_bench.exe");
    const fs::path dir = wineRoot() / "bench";
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy_file(bench, dir / "loaddll_bench.exe");
    std::string sequence;
    for (int i = 1; i <= 5; ++i) {
        const std::string name = "rt" + std::to_string(i);
        makeRuntime(dir / name, {.output = i < 5 ? "java version \"1.5.0_22\"\r\n" : java17Output});
        sequence += "B" + name + ";";
    }
    std::cout << "LoadDLL over " << sequence << " (lowest 1.6) under Wine\n";
    // The cold run leaves the cache filled for the warm one.
    for (const char* mode : {"cold", "warm"}) {
        std::size_t before = 0;
        for (int i = 1; i <= 5; ++i) before += stubRuns(dir / ("rt" + std::to_string(i)));
        RunRequest request;
        request.program = dir / "loaddll_bench.exe";
        request.arguments = {sequence, "1.6", mode, std::to_string(iterations)};
        request.timeoutSeconds = 600;
        RunResult r = prefix->run(request);
        if (r.exitCode != 0) {
            std::cerr << mode << " failed (" << r.exitCode << "): " << r.standardError << "\n";
            return 1;
        }
        std::size_t after = 0;
        for (int i = 1; i <= 5; ++i) after += stubRuns(dir / ("rt" + std::to_string(i)));
        std::cout << r.standardOutput.substr(0, r.standardOutput.find_first_of("\r\n")) << "; java.exe runs: "
                  << after - before << "\n";
    }
    return 0;
}
