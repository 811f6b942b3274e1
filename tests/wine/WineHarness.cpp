#include "WineHarness.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cctype>
#include <fstream>
#include <iostream>
#include <tuple>
#include <utility>

#include "ChildProcess.h"
#include "Locales.h"
#include "PrefixControl.h"

namespace qarvo::wine {

fs::path wineRoot() { return QARVO_WINE_ROOT; }
fs::path win32Program(const std::string& relative) { return fs::path(QARVO_WIN32_BUILD_DIR) / relative; }
bool testingSixtyFourBit() {
    const char* architecture = std::getenv("QARVO_TEST_ARCHITECTURE");
    return architecture && std::string(architecture) == "x64";
}
fs::path windowsProgram(const std::string& relative) {
    return fs::path(testingSixtyFourBit() ? QARVO_WIN64_BUILD_DIR : QARVO_WIN32_BUILD_DIR) / relative;
}
fs::path otherArchitectureProgram(const std::string& relative) {
    return fs::path(testingSixtyFourBit() ? QARVO_WIN32_BUILD_DIR : QARVO_WIN64_BUILD_DIR) / relative;
}
fs::path genericLauncher() { return windowsProgram(testingSixtyFourBit() ? "src/launcher-x64.exe" : "src/launcher.exe"); }
fs::path winTool() { return win32Program("tests/doubles/wintool.exe"); }
fs::path launcherProbe() { return windowsProgram("tests/programs/launcher_probe.exe"); }

std::string trimLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

std::string windowsPath(const fs::path& linuxPath) {
    std::string out = "Z:";
    for (char c : linuxPath.lexically_normal().string()) out += c == '/' ? '\\' : c;
    return out;
}

namespace {

// Wine prints its own diagnostics on standard error, each line beginning "wine: ".
std::string withoutWineLines(const std::string& text) {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        if (text.compare(start, 6, "wine: ") != 0) out.append(text, start, end - start);
        start = end;
    }
    return out;
}

// UTF-8 to UTF-16LE bytes with a byte-order mark, for regedit.
std::string utf16leWithBom(const std::string& utf8) {
    std::string out = "\xFF\xFE";
    auto unit = [&out](unsigned u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        unsigned code = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k) code = code << 6 | (utf8[i + k] & 0x3F);
        i += extra + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            unit(0xD800 | code >> 10);
            unit(0xDC00 | (code & 0x3FF));
        } else {
            unit(code);
        }
    }
    return out;
}

}  // namespace

RunningProgram::RunningProgram(RunningProgram&& other) noexcept { *this = std::move(other); }

RunningProgram& RunningProgram::operator=(RunningProgram&& other) noexcept {
    if (this != &other) {
        if (started()) wait();
        pid_ = std::exchange(other.pid_, -1);
        outFile_ = std::move(other.outFile_);
        errFile_ = std::move(other.errFile_);
        startTime_ = other.startTime_;
    }
    return *this;
}

RunningProgram::~RunningProgram() {
    if (started()) wait();
}

RunResult RunningProgram::wait() {
    RunResult result;
    if (!started()) return result;
    result.exitCode = waitChild(pid_);
    pid_ = -1;
    result.seconds = monotonicSeconds() - startTime_;
    result.standardOutput = readTextFile(outFile_);
    result.standardError = withoutWineLines(readTextFile(errFile_));
    std::error_code ec;
    fs::remove(outFile_, ec);
    fs::remove(errFile_, ec);
    return result;
}

Prefix* Prefix::shared(std::string& error) {
    static Prefix prefix(wineRoot() / "shared", false);
    if (!fs::exists(prefix.path() / ".qarvo-shared")) {
        error = "the shared Wine prefix is not prepared; run the tests through ctest, which runs "
                "the fixture test wine.prefix.setup first";
        return nullptr;
    }
    return &prefix;
}

std::unique_ptr<Prefix> Prefix::clone(const std::string& name, std::string& error) {
    static std::atomic<unsigned> counter{0};
    std::string safeName;
    for (char c : name) safeName += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    const fs::path templatePath = wineRoot() / "template";
    if (!fs::exists(templatePath / templateStampName)) {
        error = "no complete template prefix at " + templatePath.string() + "; run wine.prefix.setup";
        return nullptr;
    }
    const fs::path path = wineRoot() / "clones" /
                          (safeName + "-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    discardPrefix(path);
    if (!clonePrefixTree(templatePath, path, error)) return nullptr;
    std::unique_ptr<Prefix> prefix(new Prefix(path, true));
    if (!startServer(path, error)) return nullptr;  // the destructor removes the copy
    return prefix;
}

Prefix::~Prefix() {
    if (owned_) discardPrefix(path_);
}

RunningProgram Prefix::start(const RunRequest& request) const {
    RunningProgram running;
    std::string error;
    if (!checkPrefixPath(path_, error)) {
        std::cerr << "harness: " << error << "\n";
        return running;
    }
    ChildCommand command;
    command.environment = wineEnvironment(path_);
    if (!request.display.empty()) command.environment["DISPLAY"] = request.display;
    if (!request.locale.empty()) {
        if (!ensureLocale(request.locale, error)) {
            std::cerr << "harness: " << error << "\n";
            return running;
        }
        command.environment["LOCPATH"] = localeDirectory().string();
        command.environment["LC_ALL"] = request.locale;
    }
    for (const auto& [name, value] : request.environment) command.environment[name] = value;
    for (const std::string& name : request.unsetEnvironment) command.environment.erase(name);
    command.argv = {"timeout", "-k", "2", std::to_string(request.timeoutSeconds), "wine", request.program.string()};
    command.argv.insert(command.argv.end(), request.arguments.begin(), request.arguments.end());
    command.workingDirectory = request.workingDirectory.empty() ? request.program.parent_path()
                                                             : request.workingDirectory;
    std::tie(running.outFile_, running.errFile_) = outputFiles();
    command.standardOutput = running.outFile_;
    command.standardError = running.errFile_;
    running.startTime_ = monotonicSeconds();
    running.pid_ = spawnChild(command, error);
    if (!running.started()) std::cerr << "harness: " << error << "\n";
    return running;
}

RunResult Prefix::run(const RunRequest& request) const { return start(request).wait(); }

RunResult Prefix::runWinTool(const std::vector<std::string>& arguments, int timeoutSeconds) const {
    RunRequest request;
    request.program = winTool();
    request.arguments = arguments;
    request.timeoutSeconds = timeoutSeconds;
    return run(request);
}

fs::path Prefix::linuxPath(const std::string& windowsPath) const {
    if (windowsPath.size() < 2 || windowsPath[1] != ':') return {};
    fs::path out = path_ / "dosdevices" /
                   (std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])))) + ":");
    std::string rest = windowsPath.substr(2);
    for (char& c : rest) c = c == '\\' ? '/' : c;
    while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
    if (!rest.empty()) out /= rest;
    std::error_code ec;
    fs::path resolved = fs::weakly_canonical(out, ec);
    return ec ? out : resolved;
}

fs::path Prefix::temporaryDirectory() const {
    std::ifstream stamp(path_ / templateStampName);
    for (std::string line; std::getline(stamp, line);) {
        if (line.rfind("temp=", 0) == 0) return linuxPath(line.substr(5));
    }
    return {};
}

std::optional<std::string> Prefix::readRegistry(const std::string& hive, const std::string& subkey,
                                                const std::string& value, int view) const {
    RunResult r = runWinTool({"reg-read", hive, subkey, value, std::to_string(view)});
    if (r.exitCode == 0) return trimLineEnd(r.standardOutput);
    if (r.exitCode != 2) std::cerr << "harness: wintool reg-read failed: " << r.standardError;
    return std::nullopt;
}

bool Prefix::writeRegistry(const std::string& hive, const std::string& subkey, const std::string& value,
                           const std::string& type, const std::string& data, int view) const {
    RunResult r = runWinTool({"reg-write", hive, subkey, value, type, data, std::to_string(view)});
    if (r.exitCode != 0) std::cerr << "harness: wintool reg-write failed: " << r.standardError;
    return r.exitCode == 0;
}

bool Prefix::deleteRegistryTree(const std::string& hive, const std::string& subkey, int view) const {
    RunResult r = runWinTool({"reg-delete-tree", hive, subkey, std::to_string(view)});
    if (r.exitCode != 0 && r.exitCode != 2) std::cerr << "harness: wintool reg-delete-tree failed: " << r.standardError;
    return r.exitCode == 0 || r.exitCode == 2;
}

bool Prefix::importRegistry(const std::string& regText) const {
    const fs::path file = outputFiles().first.replace_extension(".reg");
    std::string crlf;
    for (char c : regText) {
        if (c == '\n' && (crlf.empty() || crlf.back() != '\r')) crlf += '\r';
        crlf += c;
    }
    {
        std::ofstream out(file, std::ios::binary);
        out << utf16leWithBom(crlf);
        if (!out) return false;
    }
    RunRequest request;
    request.program = "regedit";
    request.arguments = {"/s", windowsPath(file)};
    request.workingDirectory = file.parent_path();
    RunResult r = run(request);
    std::error_code ec;
    fs::remove(file, ec);
    if (r.exitCode != 0) std::cerr << "harness: regedit /s exited with " << r.exitCode << ": " << r.standardError;
    return r.exitCode == 0;
}

}  // namespace qarvo::wine
