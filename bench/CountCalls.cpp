// Counts the calls a launcher makes from its own image on a warm start under
// Wine: the launcher, written with a block that finds a stub runtime beside
// it, starts once to fill the probe cache, once more as a warm-up, then a
// third time with WINEDEBUG=+pid,+relay,+loaddll; every relay "Call" line of
// its process whose return address lies inside its image counts. Prints the
// total and the calls by function, most first. Deterministic: the same
// launcher gives the same figures on any machine.
//
//   bench/count-calls [--all] [--log] [--keep-log] [launcher.exe]
//
// The default launcher is build/win32/src/launcher.exe; a 64-bit one gets 64-bit
// stubs. --all prints every function (default: the ten most called); --log
// starts with QARVO_LOG=yes (the diagnostic log on); --keep-log keeps the
// relay log and says where.
// Wine's relay hides a few functions by default (critical sections, TLS,
// SetLastError); this run shows them, and says how many calls went to them.
// The counted start sees a fixed environment (Wine's own variables, PATH,
// HOME): every further variable adds calls.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <iomanip>
#include <iostream>

#include "ChildProcess.h"
#include "LaunchLayout.h"
#include "PrefixControl.h"
#include "RelayCalls.h"
#include "image/PeLayout.h"

using namespace qarvo;
using namespace qarvo::bench;

namespace {

// Wine's default RelayExclude list, by function name.
constexpr const char* hiddenByDefault[] = {
    "ntdll.RtlEnterCriticalSection", "ntdll.RtlTryEnterCriticalSection", "ntdll.RtlLeaveCriticalSection",
    "KERNEL32.TlsGetValue",          "KERNEL32.TlsSetValue",              "KERNEL32.FlsGetValue",
    "KERNEL32.FlsSetValue",          "KERNEL32.SetLastError"};

bool isHiddenByDefault(const std::string& function) {
    std::string lower = function;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    for (std::string name : hiddenByDefault) {
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        if (lower == name) return true;
    }
    return false;
}

int fail(const std::string& message) {
    std::cerr << "count-calls: " << message << "\n";
    return 1;
}

// One start of `app`; false with the reason when it did not reach main and
// exit with 0.
bool startOnce(const wine::Prefix& prefix, const fs::path& app, const fs::path& home, const wine::Environment& extra,
               std::string& error) {
    const std::size_t before = mainCalls(home);
    wine::RunRequest request;
    request.program = app;
    request.environment = extra;
    request.timeoutSeconds = 120;
    const wine::RunResult r = prefix.run(request);
    if (r.exitCode != 0 || mainCalls(home) != before + 1) {
        error = app.filename().string() + " exited with " + std::to_string(r.exitCode) + " without reaching main: " +
                r.standardError;
        return false;
    }
    return true;
}

// The relay run: Wine writes its trace to standard error, here a file.
bool relayRun(const wine::Prefix& prefix, const fs::path& app, const fs::path& log, const wine::Environment& extra,
              std::string& error) {
    wine::ChildCommand command;
    command.argv = {"timeout", "-k", "2", "600", "wine", app.string()};
    // The launcher does work for every environment variable (about twenty
    // calls each), so the run gets a fixed environment of its own: what Wine
    // needs, and nothing of the caller's.
    const wine::Environment full = wine::wineEnvironment(prefix.path());
    for (const char* name : {"WINEPREFIX", "WINEDLLOVERRIDES", "HOME"}) {
        if (const auto it = full.find(name); it != full.end()) command.environment[name] = it->second;
    }
    command.environment["PATH"] = "/usr/local/bin:/usr/bin:/bin";
    for (const auto& [name, value] : extra) command.environment[name] = value;
    command.environment["WINEDEBUG"] = "+pid,+relay,+loaddll";
    command.workingDirectory = app.parent_path();
    command.standardError = log;
    const int status = wine::runChild(command, error);
    if (status != 0 && error.empty()) error = "the relay run exited with " + std::to_string(status);
    return status == 0;
}

void print(const RelayCalls& calls, const ImageExtent& extent, const fs::path& launcher, bool all) {
    std::vector<std::pair<std::string, std::uint64_t>> functions(calls.byFunction.begin(), calls.byFunction.end());
    std::stable_sort(functions.begin(), functions.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::uint64_t hidden = 0;
    for (const auto& [name, count] : functions) hidden += isHiddenByDefault(name) ? count : 0;
    std::string path = fs::relative(launcher).string();
    if (path.empty() || path.rfind("..", 0) == 0) path = launcher.string();
    std::cout << "calls from the image of " << path << " (loaded at 0x" << std::hex
              << calls.loadAddress << ", 0x" << extent.sizeOfImage << std::dec << " bytes) on a warm start\n"
              << "total " << calls.total << " in " << functions.size() << " functions (" << hidden
              << " to functions Wine's relay hides by default); environment: Wine's own, PATH and HOME\n";
    const std::size_t shown = all ? functions.size() : std::min<std::size_t>(10, functions.size());
    for (std::size_t i = 0; i < shown; ++i) {
        std::cout << std::setw(8) << functions[i].second << "  " << functions[i].first << "\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool all = false, keepLog = false;
    wine::Environment extra;
    fs::path launcher = wine::win32Program("src/launcher.exe");
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--all") all = true;
        else if (arg == "--keep-log") keepLog = true;
        else if (arg == "--log") extra["QARVO_LOG"] = "yes";
        else if (!arg.empty() && arg[0] == '-') return fail("usage: count-calls [--all] [--log] [--keep-log] [launcher.exe]");
        else launcher = fs::absolute(arg);
    }
    std::vector<std::uint8_t> bytes;
    ImageExtent extent;
    std::string error;
    if (!wine::readFileBytes(launcher, bytes)) return fail("cannot read " + launcher.string());
    if (!readImageExtent(bytes, extent, error)) return fail(launcher.string() + ": " + error);
    const bool sixtyFourBit = machineOf(launcher) == pe::machineAmd64;

    if (!wine::prepareTemplate(error)) return fail(error);
    std::unique_ptr<wine::Prefix> prefix = wine::Prefix::clone("count-calls", error);
    if (!prefix) return fail(error);
    // A list that names no real function: the relay then shows every call.
    if (!prefix->writeRegistry("HKCU", "Software\\Wine\\Debug", "RelayExclude", "REG_SZ", "none.none")) {
        return fail("cannot clear Wine's RelayExclude list");
    }
    const fs::path dir = wine::wineRoot() / "count-calls";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path app = dir / "app.exe", home = dir / "jre", log = dir / "relay.log";
    makeStubRuntime(home, acceptedRuntimeOutput, sixtyFourBit);
    if (!writeConfiguredLauncher(launcher, app, benchEntries("B.\\jre;"), error)) return fail(error);
    // The first start probes the runtime and fills the cache; the second is
    // warm and starts Wine's services of the prefix, so the third sees only
    // the launcher.
    if (!startOnce(*prefix, app, home, extra, error) || !startOnce(*prefix, app, home, extra, error)) {
        return fail(error);
    }
    const std::size_t probes = probeRuns({home});
    if (!relayRun(*prefix, app, log, extra, error)) return fail(error);
    if (probeRuns({home}) != probes) return fail("the relay run probed the runtime: the start was not warm");
    if (mainCalls(home) != 3) return fail("the relay run did not reach main");

    std::ifstream in(log, std::ios::binary);
    RelayCalls calls;
    if (!countRelayCalls(in, app.filename().string(), extent.sizeOfImage, calls, error)) return fail(error);
    print(calls, extent, launcher, all);
    if (!extra.empty()) std::cout << "(with the diagnostic log on)\n";
    if (keepLog) std::cout << "relay log: " << log.string() << "\n";
    else fs::remove_all(dir);
    return 0;
}
