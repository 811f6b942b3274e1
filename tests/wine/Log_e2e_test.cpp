// The diagnostic log of a started launcher: how it is switched on, where it
// goes, its header and the lines of the start-up steps.
#include <ctime>

#include "E2eSupport.h"
#include "PeFile.h"
#include "TestRuntimes.h"

namespace qarvo::wine {
namespace {

class Log : public WineTest {
protected:
    // Runs `launcher` and returns the lines of the log its message names.
    std::vector<std::string> runAndReadLog(const fs::path& launcher, const std::vector<std::string>& arguments,
                                           const std::map<std::string, std::string>& environment,
                                           std::string* rawText = nullptr) {
        RunResult r = runLauncher(launcher, arguments, environment);
        EXPECT_EQ(r.exitCode, 83);
        std::optional<fs::path> log = logFileNamedIn(r.standardError, prefix());
        EXPECT_TRUE(log) << r.standardError;
        if (!log) return {};
        const std::string text = readTextFile(*log);
        if (rawText != nullptr) *rawText = text;
        bool onlyCrlf = false;
        std::vector<std::string> lines = logLines(text, onlyCrlf);
        EXPECT_TRUE(onlyCrlf) << "every line of the log ends in CR LF";
        return lines;
    }
};

// The four lines that locating the block logs, from the launcher's own headers.
std::vector<std::string> blockLocationLines() {
    std::vector<std::uint8_t> bytes;
    std::string error;
    std::optional<PeFile> pe;
    if (readFileBytes(genericLauncher(), bytes)) pe = parsePeFile(bytes, error);
    if (!pe || pe->sections.empty()) {
        ADD_FAILURE() << "cannot read the launcher's headers: " << error;
        return {};
    }
    const PeSection& last = pe->sections.back();
    const std::uint32_t lastHeader = pe->sectionTableOffset + (pe->sectionCount - 1u) * pe::sectionHeaderSize;
    return {"number of sections: " + std::to_string(pe->sectionCount),
            "size of optional headers: " + std::to_string(pe->optionalHeaderSize),
            "resSectionTableStart: " + std::to_string(lastHeader),
            "rawDataSize: " + std::to_string(last.rawDataSize) + ", rawDataOffset: " + std::to_string(last.rawDataOffset)};
}

// True when `text` is the C runtime's ctime text of a moment in [from, to].
bool isCtimeBetween(const std::string& text, std::time_t from, std::time_t to) {
    for (std::time_t t = from; t <= to; ++t) {
        char formatted[64];
        std::tm local{};
        localtime_r(&t, &local);
        std::strftime(formatted, sizeof formatted, "%a %b %d %H:%M:%S %Y", &local);
        if (text == formatted) return true;
    }
    return false;
}

TEST_F(Log, RecordsTheStartInCrLfLines) {
    const fs::path launcher = makeConfiguredLauncher(directory(), "app", sampleMessages());
    ASSERT_FALSE(launcher.empty());
    const std::time_t before = std::time(nullptr);
    std::vector<std::string> lines = runAndReadLog(launcher, {}, {{"QARVO_LOG", "yes"}});
    const std::time_t after = std::time(nullptr);
    ASSERT_GE(lines.size(), 10u);

    const std::string header = "Started executable " + windowsPath(launcher) + " at ";
    ASSERT_EQ(lines[0].substr(0, header.size()), header);
    EXPECT_TRUE(isCtimeBetween(lines[0].substr(header.size()), before - 1, after + 1)) << lines[0];
    EXPECT_EQ(lines[1], "") << "ctime's own line feed leaves an empty line";
    const std::vector<std::string> location = blockLocationLines();
    ASSERT_EQ(location.size(), 4u);
    for (std::size_t i = 0; i < location.size(); ++i) EXPECT_EQ(lines[2 + i], location[i]);
    EXPECT_EQ(lines[6], "working directory unchanged");
    // The single-instance step names the semaphore with counter 0 (the mode is off).
    const std::string semaphore = "semaphore name " + semaphoreNameOf(launcher) + "0, code 0, value ";
    EXPECT_EQ(lines[7].substr(0, semaphore.size()), semaphore) << lines[7];
    EXPECT_EQ(lines[8], "extracting files");
    EXPECT_EQ(lines[9], "Included files: 0");
    EXPECT_EQ(lines[10], "native lib dir is ");
    // Expanding the key looks up the system temporary directory, with its own lines.
    const auto search = std::find(lines.begin() + 11, lines.end(), "Searching for a JVM");
    ASSERT_NE(search, lines.end());
    EXPECT_EQ(search[-1].rfind("Setting PATH (native libs) ", 0), 0u) << search[-1];
    EXPECT_EQ(lines.back(), "ERROR: No JVM found");
}

TEST_F(Log, EitherVariableSwitchesItOnWithExactlyYes) {
    struct Case {
        std::map<std::string, std::string> environment;
        bool logged;
    };
    const Case cases[] = {
        {{{"QARVO_LOG", "yes"}}, true},
        {{{"MORAVELIN_LOG", "yes"}}, true},
        {{{"QARVO_LOG", "yes"}, {"MORAVELIN_LOG", "no"}}, true},
        {{{"QARVO_LOG", "no"}, {"MORAVELIN_LOG", "yes"}}, true},
        {{}, false},
        {{{"QARVO_LOG", "YES"}}, false},
        {{{"QARVO_LOG", "Yes"}}, false},
        {{{"QARVO_LOG", "1"}}, false},
        {{{"QARVO_LOG", "true"}}, false},
        {{{"QARVO_LOG", "yes "}}, false},
        {{{"QARVO_LOG", ""}}, false},
        {{{"MORAVELIN_LOG", "YES"}}, false},
        {{{"QARVO_LOGGING", "yes"}}, false},
    };
    const fs::path launcher = makeConfiguredLauncher(directory(), "app", sampleMessages());
    ASSERT_FALSE(launcher.empty());
    const std::string message = noRuntimeMessage();
    for (const Case& c : cases) {
        std::string trace;
        for (const auto& [name, value] : c.environment) trace += name + "='" + value + "' ";
        SCOPED_TRACE(trace);
        RunResult r = runLauncher(launcher, {}, c.environment);
        EXPECT_EQ(r.exitCode, 83);
        std::optional<fs::path> log = logFileNamedIn(r.standardError, prefix());
        if (!c.logged) {
            EXPECT_EQ(r.standardError, quietMessage(message));
            continue;
        }
        ASSERT_TRUE(log) << r.standardError;
        EXPECT_EQ(r.standardError.substr(0, r.standardError.find("Log: ")), crlf(message + "\n\n"));
        EXPECT_EQ(log->parent_path(), prefix().temporaryDirectory()) << "_tempnam follows TMP";
        EXPECT_EQ(log->filename().string().rfind("mrv_nlog_", 0), 0u) << *log;
        EXPECT_TRUE(fs::exists(*log));
    }
}

TEST_F(Log, EveryRunWritesAFileOfItsOwn) {
    const fs::path launcher = makeConfiguredLauncher(directory(), "app", sampleMessages());
    ASSERT_FALSE(launcher.empty());
    RunResult first = runLauncher(launcher, {}, {{"QARVO_LOG", "yes"}});
    RunResult second = runLauncher(launcher, {}, {{"QARVO_LOG", "yes"}});
    std::optional<fs::path> firstLog = logFileNamedIn(first.standardError, prefix());
    std::optional<fs::path> secondLog = logFileNamedIn(second.standardError, prefix());
    ASSERT_TRUE(firstLog && secondLog);
    EXPECT_NE(*firstLog, *secondLog);
    for (const fs::path& log : {*firstLog, *secondLog}) {
        const std::string text = readTextFile(log);
        EXPECT_EQ(text.rfind("Started executable ", 0), 0u) << log;
        EXPECT_EQ(text.find("Started executable ", 1), std::string::npos) << "one start per file: " << log;
    }
}

TEST_F(Log, NamesPathsInTheAnsiCodePage) {
    // "Büro" on the Linux side is UTF-8; under a German locale the launcher
    // sees it through code page 1252, where ü is the byte FC.
    const fs::path office = directory() / "B\xC3\xBCro";
    fs::create_directories(office);
    StringEntries entries = sampleMessages();
    entries[workingDirectoryKey] = "\xDC" "bung";  // "Übung" in code page 1252
    const fs::path launcher = makeConfiguredLauncher(office, "app", entries);
    ASSERT_FALSE(launcher.empty());
    RunRequest request;
    request.program = launcher;
    request.environment = {{"QARVO_LOG", "yes"}};
    request.locale = "de_DE.UTF-8";
    RunResult r = prefix().run(request);
    EXPECT_EQ(r.exitCode, 83);
    std::optional<fs::path> log = logFileNamedIn(r.standardError, prefix());
    ASSERT_TRUE(log) << r.standardError;
    bool onlyCrlf = false;
    std::vector<std::string> lines = logLines(readTextFile(*log), onlyCrlf);
    ASSERT_GE(lines.size(), 7u);
    const std::string officeAnsi = windowsPath(directory()) + "\\B\xFCro";
    EXPECT_EQ(lines[0].substr(0, lines[0].find(" at ")), "Started executable " + officeAnsi + "\\app.exe");
    EXPECT_EQ(lines[6], "change working directory to " + officeAnsi + "\\\xDC" "bung");
}

}  // namespace
}  // namespace qarvo::wine
