// Hostile inputs end to end: a damaged executable, hostile counts and lengths
// in its block and its included files, monstrous .vmoptions files, variables
// that refer to each other, runtimes that misbehave, a locked executable and
// a path the ANSI code page cannot hold. Each case states its input and the
// exit code and message it must end with, and the whole table checks that no
// case ends in an access violation or a hang and that nothing was written but
// what the launcher writes: in the user's temporary directory the launcher
// temporary directory with the file reserving its name, the probe's and the
// notification's files and the log; beside the launcher only the records of
// the test doubles.
#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <regex>
#include <thread>

#include "Locales.h"
#include "PeFile.h"
#include "TestRuntimes.h"
#include "image/PeLayout.h"

namespace qarvo::wine {
namespace {

using Bytes = std::vector<std::uint8_t>;
const std::string internalErrorText = "An internal error occurred (error code: {0})";

struct HostileCase {
    std::string what;
    // Lays the case out in its own directory and returns the launcher to start.
    std::function<fs::path(const fs::path& dir)> make;
    int exitCode;
    std::string errorStart;  // the beginning of standard error; empty: anything
    std::vector<std::string> arguments = {};
    std::map<std::string, std::string> environment = {};
    std::string locale = {};
    int timeoutSeconds = 60;
};

// Size and time of every file below `root`, and its directories, by relative path.
using Snapshot = std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>>;

Snapshot snapshot(const fs::path& root) {
    Snapshot files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        const std::string name = fs::relative(it->path(), root).generic_string();
        // A directory counts when it is new: its time changes with what the doubles record in it.
        if (it->is_directory()) {
            files[name] = {};
        } else {
            files[name] = {it->file_size(), it->last_write_time()};
        }
    }
    return files;
}

// What changed between two snapshots and matches none of `allowed`.
std::vector<std::string> unexpectedWrites(const Snapshot& before, const Snapshot& after, const std::regex& allowed) {
    std::vector<std::string> found;
    for (const auto& [name, state] : after) {
        auto old = before.find(name);
        if (old != before.end() && old->second == state) continue;
        if (!std::regex_match(name, allowed)) found.push_back(name);
    }
    return found;
}

// What the launcher may leave in the user's temporary directory: the file
// reserving a temporary name (or the name made when none can be reserved) and
// the launcher temporary directory with what is extracted into it, the
// notification file and the log.
const std::regex allowedInTemp(R"((qvo[0-9A-Fa-f]{1,4}\.tmp(_dir(/.*)?)?|qvo[0-9]+|qvo_p[0-9]+\.tmp|mrv_nlog.*))");
// Beside the launcher: what the test doubles record.
const std::regex allowedBeside(R"((.*/)?[a-z0-9]+-stub-record\.txt)");

void writeBytes(const fs::path& path, const Bytes& bytes) { ASSERT_TRUE(writeFileBytes(path, bytes)) << path; }

Bytes pattern(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 253);
    return bytes;
}

void putLittleEndian(Bytes& bytes, std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

class Hostile : public OwnPrefixTest {
protected:
    Hostile() : OwnPrefixTest("hostile") {}

    // The entries of a launcher that finds the runtime beside it and reports
    // on standard error.
    static StringEntries entries(const StringEntries& extra = {}) {
        StringEntries all = sampleMessages();
        all[key::searchSequence] = "B.\\jre";
        all[key::lowestVersion] = "1.8";
        all[key::applicationType] = "2";
        all[key::mainClass] = "com.example.Main";
        all[message::internalError] = internalErrorText;
        for (const auto& [key, value] : extra) all[key] = value;
        return all;
    }
    static fs::path withRuntime(const fs::path& dir, const StringEntries& extra = {}, const TestRuntime& runtime = {}) {
        makeRuntime(dir / "jre", runtime);
        return makeConfiguredLauncher(dir, "app", entries(extra));
    }
    // A launcher with included files and a runtime, its image and where its
    // block and its section start.
    struct Carrier {
        fs::path path;
        Bytes image;
        std::size_t blockStart = 0, sectionStart = 0;
    };
    static Carrier carrier(const fs::path& dir, const IncludedFileContents& files, const std::string& names) {
        makeRuntime(dir / "jre");
        StringEntries all = entries({{key::includedFileCount, std::to_string(files.size())},
                                     {key::includedFileNames, names}});
        Carrier c;
        c.path = makeLauncherFromContent(dir, "app", blockContent(all), files);
        readFileBytes(c.path, c.image);
        Bytes generic;
        readFileBytes(genericLauncher(), generic);
        std::size_t length = 0;
        std::string error;
        EXPECT_TRUE(launcherTemplateLength(generic, length, error)) << error;
        c.blockStart = length;
        c.sectionStart = length + encodeConfigurationBlock(blockContent(all)).size();
        return c;
    }

    void runTable(const std::vector<HostileCase>& cases) {
        const fs::path temp = own_->temporaryDirectory();
        int n = 0;
        for (const HostileCase& c : cases) {
            SCOPED_TRACE(c.what);
            const fs::path dir = directory() / ("case" + std::to_string(n++));
            fs::create_directories(dir);
            const fs::path program = c.make(dir);
            ASSERT_FALSE(program.empty());
            const Snapshot tempBefore = snapshot(temp), besideBefore = snapshot(dir);
            RunRequest request;
            request.program = program;
            request.arguments = c.arguments;
            request.environment = c.environment;
            for (const char* name : {"MANPATH", "QARVO_LOG", "MORAVELIN_LOG", "QARVO_JAVA_HOME", "JAVA_HOME"}) {
                if (!c.environment.count(name)) request.unsetEnvironment.push_back(name);
            }
            request.locale = c.locale;
            request.timeoutSeconds = c.timeoutSeconds;
            const RunResult r = own_->run(request);
            EXPECT_FALSE(r.timedOut()) << "hangs";
            EXPECT_NE(r.exitCode, 5) << "access violation: " << r.standardError;
            EXPECT_EQ(r.exitCode, c.exitCode) << r.standardError;
            EXPECT_EQ(r.standardError.substr(0, c.errorStart.size()), c.errorStart);
            EXPECT_EQ(unexpectedWrites(tempBefore, snapshot(temp), allowedInTemp), std::vector<std::string>{});
            EXPECT_EQ(unexpectedWrites(besideBefore, snapshot(dir), allowedBeside), std::vector<std::string>{});
        }
    }
};

// The executable cut at the start of every section's raw data, inside the
// headers, at the block, inside it, at the included files and inside them.
TEST_F(Hostile, AnExecutableCutAnywhere) {
    std::vector<HostileCase> cases;
    const auto cutAt = [](std::size_t at) {
        return [at](const fs::path& dir) {
            Carrier c = carrier(dir, {pattern(300), pattern(5000)}, "a.bin;lib\\b.jar");
            c.image.resize(std::min(at, c.image.size()));
            writeBytes(c.path, c.image);
            return c.path;
        };
    };
    // The layout is that of every carrier: the same launcher and block.
    const fs::path probe = directory() / "layout";
    fs::create_directories(probe);
    const Carrier layout = carrier(probe, {pattern(300), pattern(5000)}, "a.bin;lib\\b.jar");
    PeImage pe;
    std::string error;
    ASSERT_TRUE(parsePeImage(layout.image, pe, error)) << error;
    // The system refuses to start an image cut inside its sections (Wine's
    // loader exits with 1); that is not the launcher's to report.
    cases.push_back({"inside the headers", cutAt(0x100), 1, ""});
    for (const PeSection& section : pe.sections) {
        cases.push_back({"at section " + section.name, cutAt(section.rawDataOffset), 1, ""});
    }
    const std::size_t block = layout.blockStart, section = layout.sectionStart;
    const std::string readInt = quietMessage("Internal Error: readInt");
    cases.push_back({"at the block", cutAt(block), 1, readInt, {"-q_mrv_internal"}});
    cases.push_back({"inside the block header", cutAt(block + 14), 1, quietMessage("Internal Error: readLong"),
                     {"-q_mrv_internal"}});
    cases.push_back({"inside the block's strings", cutAt(block + 40), 1, "Internal Error: read", {"-q_mrv_internal"}});
    cases.push_back({"at the included files", cutAt(section), 1, "Internal Error: readLong"});
    cases.push_back({"inside a length", cutAt(section + 3), 1, "Internal Error: readLong"});
    cases.push_back({"inside the second file", cutAt(section + 8 + 300 + 8 + 2500), 1,
                     withArgument(internalErrorText, "16")});
    runTable(cases);
}

// Counts and lengths no honest build writes, in the block and in the section.
TEST_F(Hostile, HostileCountsAndLengths) {
    const auto patchedBlock = [](std::size_t offset, std::uint32_t value) {
        return [offset, value](const fs::path& dir) {
            Carrier c = carrier(dir, {}, "");
            putLittleEndian(c.image, c.blockStart + offset, value, 4);
            writeBytes(c.path, c.image);
            return c.path;
        };
    };
    // Behind the 20-byte header: the string count, then key and length of the first string.
    const auto section = [](IncludedFileContents files, std::string names, std::string count,
                            std::function<void(Bytes&, std::size_t)> patch) {
        return [=](const fs::path& dir) {
            Carrier c = carrier(dir, files, names);
            StringEntries all = entries({{key::includedFileCount, count}, {key::includedFileNames, names}});
            c.path = makeLauncherFromContent(dir, "app", blockContent(all), files);
            readFileBytes(c.path, c.image);
            c.sectionStart = c.blockStart + encodeConfigurationBlock(blockContent(all)).size();
            if (patch) patch(c.image, c.sectionStart);
            writeBytes(c.path, c.image);
            return c.path;
        };
    };
    const auto length = [](std::int64_t value) {
        return [value](Bytes& image, std::size_t at) { putLittleEndian(image, at, static_cast<std::uint64_t>(value), 8); };
    };
    const std::vector<HostileCase> cases = {
        {"a string count of 2^31 - 1", patchedBlock(configBlockHeaderSize, 0x7FFFFFFF), 1,
         "Internal Error: read", {"-q_mrv_internal"}},
        {"a string length of 2^31 - 1", patchedBlock(configBlockHeaderSize + 8, 0x7FFFFFFF), 1,
         quietMessage("Internal Error: readString"), {"-q_mrv_internal"}},
        {"a negative string length", patchedBlock(configBlockHeaderSize + 8, 0xFFFFFFF0), 1,
         quietMessage("Internal Error: readString"), {"-q_mrv_internal"}},
        {"a file count of 2^31 - 1 with one name", section({pattern(10)}, "a.bin", "2147483647", nullptr), 0, ""},
        {"a negative file count", section({pattern(10)}, "a.bin", "-5", nullptr), 0, ""},
        {"a negative file length", section({pattern(10)}, "a.bin", "1", length(-1)), 0, ""},
        {"a file length of 2^62", section({pattern(10)}, "a.bin", "1", length(std::int64_t{1} << 62)), 1,
         withArgument(internalErrorText, "16")},
        {"a file length beyond the end", section({pattern(10)}, "a.bin", "1", length(1000000)), 1,
         withArgument(internalErrorText, "16")},
        {"a name out of the directory", section({pattern(10)}, "..\\..\\evil.dll", "1", nullptr), 1,
         withArgument(internalErrorText, "11")},
        {"a device name", section({pattern(10)}, "lib\\CON.jar", "1", nullptr), 1,
         withArgument(internalErrorText, "11")},
        {"a name of 8191 bytes", section({pattern(10)}, std::string(8191, 'n'), "1", nullptr), 1,
         withArgument(internalErrorText, "11")},
    };
    runTable(cases);
}

// .vmoptions files that are huge, cyclic or deeply nested, and variables
// that refer to each other.
TEST_F(Hostile, MonstrousOptionsAndVariables) {
    const auto withOptions = [](std::function<void(const fs::path& dir)> write, StringEntries extra = {}) {
        return [=](const fs::path& dir) {
            write(dir);
            return withRuntime(dir, extra);
        };
    };
    const auto lines = [](const fs::path& dir) {
        std::ofstream out(dir / "app.vmoptions", std::ios::binary);
        for (int i = 0; i < 20000; ++i) out << "-Dline" << i << "=x\r\n";
    };
    const auto longLine = [](const fs::path& dir) {
        std::ofstream(dir / "app.vmoptions", std::ios::binary) << "-Dlong=" << std::string(1 << 20, 'x') << "\n-Dafter=1\n";
    };
    const auto cyclic = [](const fs::path& dir) {
        std::ofstream(dir / "app.vmoptions", std::ios::binary) << "-Da=1\n-include-options app.vmoptions\n"
                                                                  "-include-options APP.VMOPTIONS\n";
    };
    const auto deep = [](const fs::path& dir) {
        for (int i = 0; i < 64; ++i) {
            std::ofstream(dir / (i == 0 ? std::string("app.vmoptions") : "o" + std::to_string(i) + ".vmoptions"))
                << "-Ddepth" << i << "=1\n-include-options o" << i + 1 << ".vmoptions\n";
        }
    };
    const auto none = [](const fs::path&) {};
    const std::vector<HostileCase> cases = {
        // Every line's expansion asks for the long form of the temporary
        // directory, which costs Wine one to three milliseconds on a slow
        // machine: hence the number of lines and the time allowed.
        {"20,000 lines", withOptions(lines), 0, "", {}, {}, {}, 180},
        {"a line of 1 MiB", withOptions(longLine), 0, ""},
        {"a file including itself", withOptions(cyclic), 0, ""},
        {"64 nested includes", withOptions(deep), 0, ""},
        {"variables that refer to each other", withOptions(none, {{key::vmOptions, "-Da=${A} -Db=${SELF}"}}), 0, "",
         {}, {{"A", "${B}${B}${B}"}, {"B", "${A}${A}${A}"}, {"SELF", "${SELF}${SELF}"}}},
    };
    runTable(cases);
    // What reached the virtual machine stayed within the line buffer.
    for (int n = 0; n < static_cast<int>(cases.size()); ++n) {
        for (const std::string& line : recordLines(directory() / ("case" + std::to_string(n)) / "jre" / "bin" /
                                                   "client" / "jvm-stub-record.txt")) {
            EXPECT_LE(line.size(), 8191u + 20) << cases[n].what;
        }
    }
}

// Runtimes that misbehave: megabytes of output, a library of the other
// architecture, a library without the entry point.
TEST_F(Hostile, MisbehavingRuntimes) {
    const auto library = [](const fs::path& source) {
        return [source](const fs::path& dir) {
            const fs::path app = withRuntime(dir);
            fs::copy_file(source, dir / "jre" / "bin" / "client" / "jvm.dll", fs::copy_options::overwrite_existing);
            return app;
        };
    };
    const fs::path otherArchitecture = otherArchitectureProgram("tests/doubles/jvm.dll");
    const std::string noRuntime = withArgument(noRuntimeText, testingSixtyFourBit() ? "64" : "32");
    TestRuntime chatty;
    chatty.output = std::string(4 << 20, 'x') + "\r\n";
    TestRuntime chattyAfterVersion;
    chattyAfterVersion.output = std::string(java17Output) + std::string(4 << 20, 'y');
    const std::vector<HostileCase> cases = {
        // At an absolute location: a relative shipped runtime is taken at the end even without a version.
        {"a java.exe printing 4 MiB without a version",
         [&](const fs::path& dir) {
             return withRuntime(dir, {{key::searchSequence, "A" + windowsPath(dir / "jre")}}, chatty);
         },
         83, crlf(noRuntime)},
        {"a java.exe printing 4 MiB behind its version",
         [&](const fs::path& dir) { return withRuntime(dir, {}, chattyAfterVersion); }, 0, ""},
        {"a jvm.dll of the other architecture", library(otherArchitecture), 83, ""},
        {"a jvm.dll without JNI_CreateJavaVM", library(win32Program("tests/doubles/splashscreen.dll")), 83, ""},
    };
    runTable(cases);
}

// An executable another process holds without sharing, and a launcher in a
// directory whose name the ANSI code page cannot hold.
TEST_F(Hostile, LockedAndUnrepresentablePaths) {
    std::string error;
    ASSERT_TRUE(ensureLocale("de_DE.UTF-8", error)) << error;
    RunningProgram holder;
    const fs::path ready = directory() / "held", release = directory() / "release";
    const std::vector<HostileCase> cases = {
        {"an executable opened exclusively by another process",
         [&](const fs::path& dir) {
             const fs::path app = withRuntime(dir);
             RunRequest hold;
             hold.program = winTool();
             hold.arguments = {"hold-exclusive", windowsPath(app), windowsPath(ready), windowsPath(release), "60000"};
             holder = own_->start(hold);
             for (int i = 0; i < 500 && !fs::exists(ready); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
             EXPECT_TRUE(fs::exists(ready));
             return app;
         },
         // The system refuses to start a file it cannot open (Wine's loader exits with 1).
         1, "", {"-q_mrv_internal"}},
        {"a directory name outside the ANSI code page",
         [](const fs::path& dir) {
             fs::create_directories(dir / "\xe4\xb8\xad\xe6\x96\x87");
             return withRuntime(dir / "\xe4\xb8\xad\xe6\x96\x87");
         },
         0, "", {}, {}, "de_DE.UTF-8"},
    };
    runTable(cases);
    writeText(release, "");
    EXPECT_EQ(holder.wait().exitCode, 0);
}

// A java.exe that never answers: after 60 seconds "Terminating process", and
// the next candidate is taken.
TEST_F(Hostile, SlowAHangingJavaExeIsEndedAndTheNextOneTaken) {
    const std::vector<HostileCase> cases = {
        {"a hanging java.exe",
         [](const fs::path& dir) {
             makeRuntime(dir / "hangs");
             writeText(dir / "hangs" / "bin" / "java-stub-sleep.txt", "600000");
             makeRuntime(dir / "jre");
             return makeConfiguredLauncher(dir, "app", entries({{key::searchSequence, "A.\\hangs;B.\\jre"}}));
         },
         0, "", {}, {{"QARVO_LOG", "yes"}}, "", 150},
    };
    runTable(cases);
    const std::vector<fs::path> logs = logsOf(*own_, directory() / "case0" / "app.exe");
    ASSERT_EQ(logs.size(), 1u);
    bool onlyCrlf = true;
    const std::vector<std::string> lines = logLines(readTextFile(logs[0]), onlyCrlf);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Terminating process"), lines.end());
}

}  // namespace
}  // namespace qarvo::wine
