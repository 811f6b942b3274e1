#include "TestRuntimes.h"

#include <algorithm>
#include <fstream>

namespace qarvo::wine {

namespace fs = std::filesystem;

namespace {

const std::string logHeader = "Started executable ";

bool isLogOf(const fs::path& file, const fs::path& launcher) {
    std::ifstream in(file, std::ios::binary);
    std::string first;
    std::getline(in, first);
    return first.rfind(logHeader + windowsPath(launcher) + " at ", 0) == 0;
}

}  // namespace

std::vector<fs::path> logsOf(const Prefix& prefix, const fs::path& launcher) {
    std::vector<fs::path> logs;
    const fs::path temp = prefix.temporaryDirectory();
    for (const std::string& name : filesStartingWith(temp, "mrv_nlog")) {
        if (isLogOf(temp / name, launcher)) logs.push_back(temp / name);
    }
    return logs;
}

void writeText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return text;
}

std::string launcherForm(const fs::path& path) { return lowerCase(windowsPath(path)); }

std::string semaphoreNameOf(const fs::path& launcher) {
    std::string name = launcherForm(launcher);
    std::replace(name.begin(), name.end(), '\\', '_');
    return name;
}

fs::path doublesDirectory() { return windowsProgram("tests/doubles"); }

void makeRuntime(const fs::path& home, const TestRuntime& runtime) {
    const fs::path doubles = runtime.otherArchitecture ? otherArchitectureProgram("tests/doubles") : doublesDirectory();
    const fs::path bin = home / "bin";
    fs::create_directories(bin);
    for (const char* name : {"java.exe", "javaw.exe"}) {
        fs::copy_file(doubles / "java.exe", bin / name, fs::copy_options::overwrite_existing);
    }
    writeText(bin / "java-stub-stderr.txt", runtime.output);
    if (runtime.exitCode != 0) writeText(bin / "java-stub-exitcode.txt", std::to_string(runtime.exitCode));
    if (!runtime.jvmType.empty()) {
        fs::create_directories(bin / runtime.jvmType);
        fs::copy_file(doubles / "jvm.dll", bin / runtime.jvmType / "jvm.dll",
                      fs::copy_options::overwrite_existing);
    }
}

std::vector<std::string> recordLines(const fs::path& file) {
    bool ignored = false;
    std::vector<std::string> lines = logLines(readTextFile(file), ignored);
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

std::size_t stubRuns(const fs::path& home) { return recordLines(home / "bin" / "java-stub-record.txt").size(); }

std::vector<std::string> LoggedStart::linesStartingWith(const std::vector<std::string>& prefixes) const {
    std::vector<std::string> found;
    for (const std::string& line : log) {
        for (const std::string& prefix : prefixes) {
            if (line.rfind(prefix, 0) == 0) {
                found.push_back(line);
                break;
            }
        }
    }
    return found;
}

bool LoggedStart::hasLine(const std::string& line) const {
    return std::find(log.begin(), log.end(), line) != log.end();
}

LoggedStart startLogged(const Prefix& prefix, const fs::path& launcher,
                        const std::map<std::string, std::string>& environment) {
    for (const fs::path& old : logsOf(prefix, launcher)) fs::remove(old);
    RunRequest request;
    request.program = launcher;
    request.environment = environment;
    request.environment["QARVO_LOG"] = "yes";
    request.unsetEnvironment = {"MORAVELIN_LOG"};
    LoggedStart start;
    start.result = prefix.run(request);
    const std::vector<fs::path> logs = logsOf(prefix, launcher);
    EXPECT_EQ(logs.size(), 1u) << "one log of " << launcher;
    if (!logs.empty()) {
        bool ignored = false;
        start.log = logLines(readTextFile(logs[0]), ignored);
    }
    return start;
}

std::string messageWithLog(const std::string& text) { return crlf(text + "\n\nLog: "); }

fs::path RuntimeTest::launcher(const StringEntries& extra, const std::string& name) const {
    StringEntries entries = sampleMessages();
    entries[message::jvmNotStarted] = vmNotStartedText;
    for (std::int32_t id : {message::variableRuntimeBroken, message::variableRuntimeBroken64,
                            message::locationRuntimeBroken, message::locationRuntimeBroken64}) {
        entries[id] = otherArchitectureText;
    }
    entries[launcherArchitecture().variableRuntimeBroken] = variableText;
    entries[launcherArchitecture().locationRuntimeBroken] = locationText;
    for (const auto& [key, value] : extra) entries[key] = value;
    fs::path path = makeConfiguredLauncher(directory(), name, entries);
    EXPECT_FALSE(path.empty());
    return path;
}

std::string RuntimeTest::win(const std::string& relative) const { return windowsPath(directory() / relative); }

std::string RuntimeTest::normal(const std::string& relative) const { return launcherForm(directory() / relative); }

void OwnPrefixTest::SetUp() {
    RuntimeTest::SetUp();
    if (HasFatalFailure()) return;
    std::string error;
    own_ = Prefix::clone(name_, error);
    ASSERT_TRUE(own_) << error;
}

}  // namespace qarvo::wine
