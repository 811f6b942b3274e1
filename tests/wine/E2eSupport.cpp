#include "E2eSupport.h"

#include "image/PeLayout.h"

namespace qarvo::wine {

namespace fs = std::filesystem;

StringEntries sampleMessages() {
    return {{captionKey, errorCaption}, {wrongParameterKey, wrongParameterText}, {noRuntimeKey, noRuntimeText}};
}

const LauncherArchitecture& launcherArchitecture() {
    static constexpr LauncherArchitecture x86 = {.target = "x86",
                                                 .bits = "32",
                                                 .variableRuntimeBroken = message::variableRuntimeBroken,
                                                 .locationRuntimeBroken = message::locationRuntimeBroken,
                                                 .machine = pe::machineI386,
                                                 .otherMachine = pe::machineAmd64,
                                                 .registryView = 32,
                                                 .otherRegistryView = 64,
                                                 .programFiles = "C:\\Program Files (x86)",
                                                 .otherProgramFiles = "C:\\Program Files",
                                                 .beyondAddressSpace = "3000000000"};
    static constexpr LauncherArchitecture x64 = {.target = "x64",
                                                 .bits = "64",
                                                 .variableRuntimeBroken = message::variableRuntimeBroken64,
                                                 .locationRuntimeBroken = message::locationRuntimeBroken64,
                                                 .machine = pe::machineAmd64,
                                                 .otherMachine = pe::machineI386,
                                                 .registryView = 64,
                                                 .otherRegistryView = 32,
                                                 .programFiles = "C:\\Program Files",
                                                 .otherProgramFiles = "C:\\Program Files (x86)",
                                                 .beyondAddressSpace = "1125899906842624"};  // 2^50 bytes
    return testingSixtyFourBit() ? x64 : x86;
}

std::string noRuntimeMessage() { return withArgument(noRuntimeText, launcherArchitecture().bits); }

std::string withArgument(std::string text, const std::string& argument) {
    const std::size_t at = text.find("{0}");
    if (at != std::string::npos) text.replace(at, 3, argument);
    return text;
}

std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string quietMessage(const std::string& text) { return crlf(text + "\n"); }

void WineTest::SetUp() {
    std::string error;
    shared_ = Prefix::shared(error);
    ASSERT_NE(shared_, nullptr) << error;
    ASSERT_TRUE(fs::exists(genericLauncher())) << genericLauncher() << " missing: build the Windows presets";
    directory_ = freshTestDirectory();
    ASSERT_FALSE(directory_.empty());
}

RunResult WineTest::runLauncher(const fs::path& program, const std::vector<std::string>& arguments,
                                const std::map<std::string, std::string>& environment) const {
    RunRequest request;
    request.program = program;
    request.arguments = arguments;
    request.environment = environment;
    return prefix().run(request);
}

fs::path freshTestDirectory() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    // Both launchers' runs of the suite share the prefix and may run at once:
    // each has its own tree, so its launchers (and their single-instance
    // names and probe-cache entries) have paths of their own.
    const fs::path dir = wineRoot() / "work" / (testingSixtyFourBit() ? "x64" : "x86") / name;
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir, ec);
    if (ec) {
        ADD_FAILURE() << "cannot create " << dir << ": " << ec.message();
        return {};
    }
    return fs::canonical(dir);
}

std::optional<fs::path> logFileNamedIn(const std::string& standardError, const Prefix& prefix) {
    const std::string marker = "\r\n\r\nLog: ";
    const std::size_t at = standardError.rfind(marker);
    if (at == std::string::npos) return std::nullopt;
    return prefix.linuxPath(trimLineEnd(standardError.substr(at + marker.size())));
}

std::vector<std::string> logLines(const std::string& text, bool& onlyCrlf) {
    std::vector<std::string> lines;
    onlyCrlf = text.empty() || text.back() == '\n';
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        } else if (end < text.size()) {
            onlyCrlf = false;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> filesStartingWith(const fs::path& dir, const std::string& prefix) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0) names.push_back(name);
    }
    return names;
}

}  // namespace qarvo::wine
