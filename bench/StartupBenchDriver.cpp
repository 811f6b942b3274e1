// Times starts of the launcher under Wine, in a throw-away clone of the tests'
// template prefix with its own persistent server, and prints the figures as
// rows of a Markdown table.
//
//   build/native/bench/startup_bench_driver warm [rounds]    (default 41)
//   build/native/bench/startup_bench_driver cold [pairs]     (default 11)
//   build/native/bench/startup_bench_driver exec COMMAND...
//
// warm: a warm start (valid probe cache) of build/win32/src/launcher.exe,
// written with a block that finds a stub runtime beside it, up to the stub
// jvm.dll's main; against the floor exe (the launcher's system imports and
// manifest, InitCommonControls, nothing else), the floor with the long-path
// conversions a warm start must make, and an empty window-subsystem exe, run
// in turn in every round; the medians of the ratios of each round.
// cold: starts with the probe cache removed before each one, over one, three
// and five candidates of the search sequence and over five installs found by
// the modern-runtime search (letter M), each alternated with the floor exe;
// and the processes each start ran, counted from the stub java.exe's record.
// exec: lays out the warm start and runs COMMAND (no shell) with the prefix's
// environment and QARVO_BENCH_DIR naming the directory of app.exe, floor.exe,
// floor-paths.exe and empty.exe, for timing the same files with an outside tool.
//
// Needs both builds (make). Whole-process wall times, so the ratios, not the
// milliseconds, are the figures to compare across machines.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "ChildProcess.h"
#include "LaunchLayout.h"
#include "PeFile.h"
#include "PrefixControl.h"

using namespace qarvo;
using namespace qarvo::bench;

namespace {

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string fixed(double value, int decimals = 2) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// "1.31 (median of 21 pair ratios, 1.12-1.58)".
std::string ratioFigure(const std::vector<double>& ratios) {
    const auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
    return fixed(median(ratios)) + " (median of " + std::to_string(ratios.size()) + " pair ratios, " + fixed(*low) +
           "-" + fixed(*high) + ")";
}

std::string milliseconds(const std::vector<double>& seconds) { return fixed(median(seconds) * 1000, 0) + " ms"; }

int fail(const std::string& message) {
    std::cerr << "startup_bench_driver: " << message << "\n";
    return 1;
}

// A run of `program` in `prefix`: its wall time, or a negative time with the
// reason when it did not end with exit code 0.
double timedRun(const wine::Prefix& prefix, const fs::path& program, std::string& error) {
    wine::RunRequest request;
    request.program = program;
    request.timeoutSeconds = 120;
    const wine::RunResult r = prefix.run(request);
    if (r.exitCode != 0) {
        error = program.filename().string() + " exited with " + std::to_string(r.exitCode) + ": " + r.standardError;
        return -1;
    }
    return r.seconds;
}

// The directory of one benchmark's files, emptied.
fs::path freshDirectory(const std::string& name) {
    const fs::path dir = wine::wineRoot() / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// The warm start's files: app.exe finding jre beside it, floor.exe,
// floor-paths.exe, empty.exe.
bool layOutWarmStart(const fs::path& dir, std::string& error) {
    makeStubRuntime(dir / "jre", acceptedRuntimeOutput);
    for (const char* exe : {"floor.exe", "floor-paths.exe", "empty.exe"}) {
        std::error_code ec;
        fs::copy_file(wine::win32Program(std::string("bench/") + exe), dir / exe, ec);
        if (ec) {
            error = std::string("cannot copy bench/") + exe + " of the win32 build: " + ec.message();
            return false;
        }
    }
    return writeConfiguredLauncher(wine::win32Program("src/launcher.exe"), dir / "app.exe", benchEntries("B.\\jre;"),
                                   error);
}

std::vector<std::string> importedDlls(const fs::path& exe) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    std::optional<wine::PeFile> pe;
    if (wine::readFileBytes(exe, bytes)) pe = wine::parsePeFile(bytes, error);
    std::vector<std::string> names;
    if (!pe) return names;
    for (std::string name : pe->importedDlls) {
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : " ") + name;
    return text;
}

int warm(int rounds) {
    std::string error;
    if (!wine::prepareTemplate(error)) return fail(error);
    std::unique_ptr<wine::Prefix> prefix = wine::Prefix::clone("startup-warm", error);
    if (!prefix) return fail(error);
    const fs::path dir = freshDirectory("startup-warm"), home = dir / "jre";
    if (!layOutWarmStart(dir, error)) return fail(error);
    const std::vector<std::string> launcherDlls = importedDlls(dir / "app.exe"), floorDlls = importedDlls(dir / "floor.exe");
    // The first start fills the probe cache (and starts Wine's services);
    // one round more settles the file cache.
    for (const char* exe : {"app.exe", "app.exe", "floor.exe", "floor-paths.exe", "empty.exe"}) {
        if (timedRun(*prefix, dir / exe, error) < 0) return fail(error);
    }
    const std::size_t probesBefore = probeRuns({home}), mainBefore = mainCalls(home);
    std::vector<double> app, floor, empty, appFloor, appEmpty, floorEmpty, pathsFloor;
    for (int i = 0; i < rounds; ++i) {
        const double a = timedRun(*prefix, dir / "app.exe", error);
        const double f = timedRun(*prefix, dir / "floor.exe", error);
        const double p = timedRun(*prefix, dir / "floor-paths.exe", error);
        const double e = timedRun(*prefix, dir / "empty.exe", error);
        if (a < 0 || f < 0 || p < 0 || e < 0) return fail(error);
        app.push_back(a), floor.push_back(f), empty.push_back(e);
        appFloor.push_back(a / f), appEmpty.push_back(a / e), floorEmpty.push_back(f / e);
        pathsFloor.push_back(p / f);
    }
    if (mainCalls(home) != mainBefore + static_cast<std::size_t>(rounds)) return fail("a warm start did not reach main");
    const std::size_t processes = probeRuns({home}) - probesBefore;
    std::cout << "| Warm start / floor exe | " << ratioFigure(appFloor) << " | at most 1.05 |\n"
              << "| Warm start / empty exe | " << ratioFigure(appEmpty) << " | for scale |\n"
              << "| Floor exe / empty exe | " << ratioFigure(floorEmpty) << " | for scale |\n"
              << "| Floor exe with the warm start's long-path conversions / floor exe | " << ratioFigure(pathsFloor)
              << " | what those calls alone cost |\n"
              << "| Warm start, floor, empty exe (median wall time) | " << milliseconds(app) << ", "
              << milliseconds(floor) << ", " << milliseconds(empty) << " | |\n"
              << "| Processes started by " << rounds << " warm starts | " << processes << " | 0 |\n";
    if (launcherDlls != floorDlls) {
        std::cout << "| Floor exe's DLLs differ from the launcher's | launcher: " << joined(launcherDlls)
                  << "; floor: " << joined(floorDlls) << " | the same |\n";
    }
    fs::remove_all(dir);
    return 0;
}

// One cold scenario: a launcher whose block searches `sequence`.
struct ColdCase {
    std::string name;
    std::string sequence;
};

int cold(int pairs) {
    std::string error;
    if (!wine::prepareTemplate(error)) return fail(error);
    std::unique_ptr<wine::Prefix> prefix = wine::Prefix::clone("startup-cold", error);
    if (!prefix) return fail(error);
    const fs::path dir = freshDirectory("startup-cold");
    std::error_code ec;
    fs::copy_file(wine::win32Program("bench/floor.exe"), dir / "floor.exe", ec);
    if (ec) return fail("cannot copy bench/floor.exe of the win32 build: " + ec.message());
    // Five shipped runtimes, the first four too old; five installs registered
    // as today's installers do, newest first by their key names.
    std::vector<fs::path> homes;
    for (int i = 1; i <= 5; ++i) {
        homes.push_back(dir / ("rt" + std::to_string(i)));
        makeStubRuntime(homes.back(), i < 5 ? oldRuntimeOutput : acceptedRuntimeOutput);
    }
    const char* installs[] = {"21.0.5", "20.0.2", "19.0.2", "18.0.2", "17.0.15"};
    std::vector<fs::path> installHomes;
    for (const char* version : installs) {
        installHomes.push_back(dir / (std::string("jdk-") + version));
        makeStubRuntime(installHomes.back(), acceptedRuntimeOutput);
        if (!prefix->writeRegistry("HKCU", std::string("SOFTWARE\\JavaSoft\\JDK\\") + version, "JavaHome", "REG_SZ",
                                   wine::windowsPath(installHomes.back()))) {
            return fail("cannot register the install " + std::string(version));
        }
    }
    std::vector<fs::path> all = homes;
    all.insert(all.end(), installHomes.begin(), installHomes.end());
    const ColdCase cases[] = {
        {"1 candidate", "B.\\rt5;"},
        {"3 candidates", "B.\\rt3;B.\\rt4;B.\\rt5;"},
        {"5 candidates", "B.\\rt1;B.\\rt2;B.\\rt3;B.\\rt4;B.\\rt5;"},
        {"installed (M), 5 installs, newest accepted", "M;"},
        {"installed (M), 5 installs, oldest accepted", "M;"},
    };
    bool first = true;
    for (const ColdCase& c : cases) {
        if (c.name.find("oldest") != std::string::npos) {
            for (std::size_t i = 0; i + 1 < installHomes.size(); ++i) makeStubRuntime(installHomes[i], oldRuntimeOutput);
        }
        const fs::path app = dir / "cold.exe";
        if (!writeConfiguredLauncher(wine::win32Program("src/launcher.exe"), app, benchEntries(c.sequence), error)) {
            return fail(error);
        }
        if (first && timedRun(*prefix, dir / "floor.exe", error) < 0) return fail(error);  // starts Wine's services
        first = false;
        std::vector<double> starts, ratios;
        std::vector<std::size_t> processes;
        for (int i = 0; i < pairs; ++i) {
            if (!prefix->deleteRegistryTree("HKCU", probeCacheKey)) return fail("cannot remove the probe cache");
            const std::size_t before = probeRuns(all);
            std::size_t mains = 0;
            for (const fs::path& home : all) mains += mainCalls(home);
            const double a = timedRun(*prefix, app, error);
            const double f = timedRun(*prefix, dir / "floor.exe", error);
            if (a < 0 || f < 0) return fail(error);
            std::size_t mainsAfter = 0;
            for (const fs::path& home : all) mainsAfter += mainCalls(home);
            if (mainsAfter != mains + 1) return fail("a cold start (" + c.name + ") did not reach main");
            processes.push_back(probeRuns(all) - before);
            starts.push_back(a), ratios.push_back(a / f);
        }
        const auto [fewest, most] = std::minmax_element(processes.begin(), processes.end());
        std::cout << "| Cold start, " << c.name << " / floor exe | " << ratioFigure(ratios) << "; "
                  << milliseconds(starts) << "; processes per start: " << *fewest
                  << (*most != *fewest ? "-" + std::to_string(*most) : "") << " | |\n";
    }
    fs::remove_all(dir);
    return 0;
}

int exec(const std::vector<std::string>& argv) {
    std::string error;
    if (!wine::prepareTemplate(error)) return fail(error);
    std::unique_ptr<wine::Prefix> prefix = wine::Prefix::clone("startup-exec", error);
    if (!prefix) return fail(error);
    const fs::path dir = freshDirectory("startup-exec");
    if (!layOutWarmStart(dir, error)) return fail(error);
    if (timedRun(*prefix, dir / "app.exe", error) < 0) return fail(error);  // fills the probe cache
    wine::ChildCommand command;
    command.argv = argv;
    command.environment = wine::wineEnvironment(prefix->path());
    command.environment["QARVO_BENCH_DIR"] = dir.string();
    command.workingDirectory = dir;
    command.standardOutput = dir / "exec-output.txt";
    command.standardError = dir / "exec-errors.txt";
    const int status = wine::runChild(command, error);
    std::cout << wine::readTextFile(command.standardOutput) << wine::readTextFile(command.standardError);
    fs::remove_all(dir);
    return status < 0 ? fail(error) : status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const int count = argc > 2 ? std::max(1, std::atoi(argv[2])) : 0;
    if (mode == "warm") return warm(count ? count : 41);
    if (mode == "cold") return cold(count ? count : 11);
    if (mode == "exec" && argc > 2) return exec(std::vector<std::string>(argv + 2, argv + argc));
    return fail("usage: startup_bench_driver warm [rounds] | cold [pairs] | exec COMMAND...");
}
