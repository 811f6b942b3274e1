#include "instance/SingleInstance.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "config/ConfigKeys.h"
#include "instance/Notification.h"
#include "report/ErrorReport.h"
#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::ProcessExit;
using testing::TestSystem;

constexpr const char* pidsKey = "SOFTWARE\\tarnwell\\qarvo\\pids\\";
const std::string instanceName = "c:_app_run.exe";
const std::string notificationName = instanceName + "_notification";
const std::string file = "C:\\Temp\\qvo_p1234.tmp";
const std::u16string commandLine = u"\"C:\\app\\run.exe\"  -open \"a b.txt\"";
constexpr const char* internalErrorText = "An internal error occurred (error code: {0})";

std::string dword(std::uint32_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

// What the step did: the exit code it ended the process with, or -1 when it
// returned (the start goes on).
int runCheck(bool honourConfiguration = true, bool notifyRunningInstance = true) {
    try {
        runSingleInstanceCheck(honourConfiguration, notifyRunningInstance);
    } catch (const ProcessExit& exit) {
        return exit.code;
    }
    return -1;
}

// A log line without the handle values, which differ from run to run.
std::string withoutHandle(const std::string& line) {
    const std::size_t value = line.find(", value ");
    if (value != std::string::npos) return line.substr(0, value + 7) + " <handle>";
    if (line.rfind("found window ", 0) == 0) return "found window <handle>";
    return line;
}

// A start of C:\app\run.exe in single-instance mode with the log on.
class Start : public TestSystem {
public:
    Start() {
        enableLog();
        setKey(key::singleInstance, "1");
        setKey(message::internalError, internalErrorText);
        processes.commandLine = commandLine;
    }

    // Another process of the same executable runs: it holds the semaphore and
    // its process id 1234 is recorded.
    void runningInstance() {
        semaphores.open[instanceName] = 1;
        registry.setString(os::Hive::currentUser, pidsKey, "c:\\app\\run.exe", dword(1234));
    }
    // The running instance takes the notification file `name`.
    void take(const std::string& name) { files.entries.erase(files.key(name)); }

    // The log lines of this step, handle values left out.
    std::vector<std::string> stepLog() const {
        std::vector<std::string> lines;
        for (const std::string& line : logLinesStartingWith(
                 {"single", "semaphore", "other pid", "found window", "restore", "foreground", "popup", "done",
                  "notification via", "waiting", "wait returned", "main process", "CreateFile", "ERROR",
                  "release", "exiting"})) {
            lines.push_back(withoutHandle(line));
        }
        return lines;
    }
    std::size_t count(const std::string& call) const {
        return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), call));
    }
};

// The name is the lower-cased absolute launcher path with "_" for "\", behind
// "Global\" with key 158, and with the lowest free counter when
// single-instance mode is off. The path's case does not matter, and the second
// byte of a double-byte character is never taken for a "\".
TEST(SingleInstance, NameFollowsPathAndKeys) {
    struct Case {
        const char* path;
        bool doubleByte;
        const char* global;
        const char* single;
        std::string name;
        std::string keyName;
    } cases[] = {
        {"C:\\app\\run.exe", false, "0", "1", "c:_app_run.exe", "c:\\app\\run.exe"},
        {"C:\\App\\RUN.EXE", false, "", "1", "c:_app_run.exe", "c:\\app\\run.exe"},
        {"C:\\App\\RUN.EXE", false, "1", "1", "Global\\c:_app_run.exe", "c:\\app\\run.exe"},
        {"C:\\app\\run.exe", false, "1", "0", "Global\\c:_app_run.exe0", "c:\\app\\run.exe"},
        {"C:\\app\\run.exe", false, "0", "", "c:_app_run.exe0", "c:\\app\\run.exe"},
        {"C:\\\x83\x5C\\Run.exe", true, "0", "1", "c:_\x83\x5C_run.exe", "c:\\\x83\x5C\\run.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Start start;
        start.codePage.doubleByte = c.doubleByte;
        start.setLauncherPath(c.path);
        start.setKey(key::globalSemaphores, c.global);
        start.setKey(key::singleInstance, c.single);
        EXPECT_EQ(semaphoreName(), nullptr);
        EXPECT_EQ(runCheck(), -1);
        ASSERT_NE(semaphoreName(), nullptr);
        EXPECT_EQ(semaphoreName(), c.name);
        EXPECT_EQ(instanceKeyName(), c.keyName);
        EXPECT_EQ(start.semaphores.open, (std::map<std::string, int>{{c.name, 1}})) << "held for the process's life";
        const bool single = std::string(c.single) == "1";
        EXPECT_EQ(start.registry.value(os::Hive::currentUser, pidsKey, c.keyName) != nullptr, single);
    }
}

// The first instance holds the semaphore and records its process id over an
// earlier record; a creation that fails counts as a first instance too.
TEST(SingleInstance, FirstInstanceHoldsTheSemaphoreAndRecordsItsProcessId) {
    for (const bool failCreate : {false, true}) {
        SCOPED_TRACE(failCreate);
        Start start;
        start.semaphores.failCreate = failCreate;
        start.registry.setString(os::Hive::currentUser, pidsKey, "c:\\app\\run.exe", dword(99));
        EXPECT_EQ(runCheck(), -1);
        EXPECT_EQ(start.stepLog(), (std::vector<std::string>{"single instance mode",
                                                             std::string("semaphore name c:_app_run.exe, code ") +
                                                                 (failCreate ? "5" : "0") + ", value <handle>"}));
        EXPECT_EQ(start.semaphores.open.count(instanceName), failCreate ? 0u : 1u);
        EXPECT_EQ(*start.registry.value(os::Hive::currentUser, pidsKey, "c:\\app\\run.exe"), dword(7));
        EXPECT_TRUE(isFirstInstanceAlive());
    }
}

TEST(SingleInstance, SecondInstanceRaisesTheWindowsAndHandsItsArgumentsOver) {
    Start start;
    start.runningInstance();
    start.windows.add({1234, true, true, nullptr});
    start.windows.add({4321, true, true, nullptr});
    std::string taken;
    start.machine.duringSleep = [&] {
        taken = start.files.content(file);
        start.take(file);
    };
    EXPECT_EQ(runCheck(), 0);
    EXPECT_EQ(taken, notificationText(commandLine));
    EXPECT_FALSE(start.files.exists(file));
    EXPECT_EQ(start.stepLog(), (std::vector<std::string>{
                                   "single instance mode", "semaphore name c:_app_run.exe, code 183, value <handle>",
                                   "other pid 1234", "found window <handle>", "restore", "foreground", "popup",
                                   "done", "notification via C:\\Temp\\qvo_p1234.tmp",
                                   "waiting for notification semaphore", "wait returned 0",
                                   "waiting for file deletion", "exiting"}));
    // (The log reserves its own file by a CreateFile as well.)
    EXPECT_EQ(start.callsStartingWith({"CreateSemaphore", "CloseHandle", "WaitFor", "ReleaseSemaphore",
                                       "CreateFile new C:\\Temp\\", "DeleteFile", "Sleep", "ShowWindow"}),
              (std::vector<std::string>{
                  "CreateSemaphore c:_app_run.exe", "CloseHandle semaphore c:_app_run.exe",
                  "ShowWindow 0x1000 SW_RESTORE", "CreateSemaphore " + notificationName,
                  "WaitForSingleObject " + notificationName, "CreateSemaphore c:_app_run.exe",
                  "CloseHandle semaphore c:_app_run.exe", "CreateFile new " + file, "Sleep 50",
                  "CreateSemaphore c:_app_run.exe", "CloseHandle semaphore c:_app_run.exe",
                  "ReleaseSemaphore " + notificationName, "CloseHandle semaphore " + notificationName}));
    EXPECT_TRUE(start.windows.all[1].second.minimised) << "another process's window";
    EXPECT_EQ(start.semaphores.open, (std::map<std::string, int>{{instanceName, 1}})) << "only the first's handle";
}

// Everything that can happen between taking the turn and giving it back.
TEST(SingleInstance, OutcomesOfTheHandOver) {
    struct Case {
        const char* name;
        bool olderFile;            // a notification nobody has taken yet is there
        std::vector<int> takenAt;  // the running instance takes the file during these sleeps (from 1)
        int firstEndsAt;           // the first instance ends during this sleep (0: never; -1: during the
                                   // wait for the turn)
        std::set<std::string> failingSemaphores;
        int failWrites;
        bool readOnlyTemp;
        int exitCode;
        const char* messageArgument;  // of message 1009; null: none
        std::uint64_t sleptMs;
        std::size_t looksAtFirst;  // semaphore creations after the first
        const char* fileLeft;      // the arguments left in the file; null: no file
        std::vector<std::string> lines;  // log lines that must be there
    } cases[] = {
        {"taken after three passes", false, {3}, 0, {}, 0, false, 0, nullptr, 150, 2, nullptr, {}},
        {"never taken: the start still ends with 0", false, {}, 0, {}, 0, false, 0, nullptr, 10000, 41, "mine", {}},
        {"the first instance ends while the file waits: the start deletes it", false, {}, 7, {}, 0, false, 0,
         nullptr, 550, 4, nullptr, {"main process already released semaphore."}},
        {"the first instance is gone before the exchange", false, {}, -1, {}, 0, false, 0, nullptr, 0, 1, nullptr,
         {"main process already released semaphore."}},
        {"an older file is taken first", true, {2, 3}, 0, {}, 0, false, 0, nullptr, 150, 3, nullptr, {}},
        {"an older file is never taken", true, {}, 0, {}, 0, false, 1, "21", 10000, 41, "older",
         {"CreateFile failed 80"}},
        {"the first instance ends while the older file waits", true, {}, 3, {}, 0, false, 0, nullptr, 300, 3, "older",
         {"main process already released semaphore."}},
        {"the text cannot be written", false, {}, 0, {}, 1, false, 1, "22", 0, 1, nullptr,
         {"ERROR: WriteFile failed 112"}},
        {"the temporary directory is read-only", false, {}, 0, {}, 0, true, 1, "21", 0, 1, nullptr,
         {"CreateFile failed 5"}},
        {"no notification semaphore", false, {1}, 0, {notificationName}, 0, false, 0, nullptr, 50, 2, nullptr,
         {"semaphore creation failed 5", "wait returned -1", "release semaphore failed 6"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start start;
        start.runningInstance();
        start.processes.commandLine = u"run.exe mine";
        start.semaphores.failNames = c.failingSemaphores;
        start.files.failWrites = c.failWrites;
        if (c.readOnlyTemp) start.files.readOnlyDirectories.insert(start.files.key("C:\\Temp"));
        if (c.olderFile) start.files.addFile(file, notificationText(u"run.exe older"));
        int sleeps = 0;
        start.machine.duringSleep = [&] {
            ++sleeps;
            if (std::find(c.takenAt.begin(), c.takenAt.end(), sleeps) != c.takenAt.end()) start.take(file);
            if (sleeps == c.firstEndsAt) start.semaphores.open.erase(instanceName);
        };
        start.semaphores.duringWait = [&](const std::string& name) {
            if (c.firstEndsAt == -1 && name == notificationName) start.semaphores.open.erase(instanceName);
        };
        EXPECT_EQ(runCheck(), c.exitCode);
        EXPECT_EQ(start.machine.sleptMs, c.sleptMs);
        EXPECT_EQ(start.count("CreateSemaphore " + instanceName), 1 + c.looksAtFirst);
        if (c.fileLeft) {
            const std::string left = c.fileLeft;
            EXPECT_EQ(start.files.content(file),
                      notificationText(u"run.exe " + std::u16string(left.begin(), left.end())));
        } else {
            EXPECT_FALSE(start.files.exists(file));
        }
        const std::vector<std::string> log = start.logLines();
        for (const std::string& line : c.lines) EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << line;
        // The turn is given back once, before any message: the starts queued
        // behind this one would otherwise wait forever.
        const std::string release = "ReleaseSemaphore " + notificationName;
        EXPECT_EQ(start.count(release), c.failingSemaphores.empty() ? 1u : 0u);
        const auto box = std::find_if(start.calls.begin(), start.calls.end(),
                                      [](const std::string& call) { return call.rfind("MessageBox", 0) == 0; });
        if (box != start.calls.end()) {
            EXPECT_LT(std::find(start.calls.begin(), start.calls.end(), release), box);
        }
        if (c.messageArgument) {
            ASSERT_EQ(start.messages.size(), 1u);
            const std::string text = std::string("An internal error occurred (error code: ") + c.messageArgument + ")";
            EXPECT_EQ(start.messages[0].text.substr(0, text.size() + 2), text + "\n\n");
        } else {
            EXPECT_TRUE(start.messages.empty());
        }
    }
}

// The process id comes from the record, whatever the value's type; without a
// record of four bytes it is 0.
TEST(SingleInstance, RecordedProcessId) {
    struct Case {
        const char* name;
        bool recorded;
        std::string data;
        std::uint32_t pid;
    } cases[] = {
        {"no record", false, "", 0},
        {"four bytes", true, dword(0x12345678), 0x12345678},
        {"four bytes of text", true, "abcd", 0x64636261},
        {"three bytes", true, std::string("\x01\x02\x03", 3), 0},
        {"five bytes", true, std::string("\x01\x02\x03\x04\x05", 5), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start start;
        if (c.recorded) start.registry.setString(os::Hive::currentUser, pidsKey, "C:\\APP\\run.exe", c.data);
        EXPECT_EQ(readInstancePid(), c.pid);
    }
}

// With `notifyRunningInstance` false a later start only raises the windows;
// with `honourConfiguration` false it is one even when key 10005 is 0.
TEST(SingleInstance, ArgumentsOfTheStep) {
    struct Case {
        bool honourConfiguration, notifyRunningInstance;
        const char* singleInstance;
        int exitCode;
        bool notified;
    } cases[] = {
        {true, false, "1", 0, false},
        {false, true, "0", 0, true},
        {false, false, "", 0, false},
        {true, true, "0", -1, false},
    };
    const std::string takingTurn = "CreateSemaphore " + notificationName;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.honourConfiguration) + std::to_string(c.notifyRunningInstance) +
                     c.singleInstance);
        Start start;
        start.setKey(key::singleInstance, c.singleInstance);
        start.runningInstance();
        start.windows.add({1234, true, false, nullptr});
        start.machine.duringSleep = [&] { start.take(file); };
        EXPECT_EQ(runCheck(c.honourConfiguration, c.notifyRunningInstance), c.exitCode);
        EXPECT_EQ(start.callsStartingWith({"SetForegroundWindow"}).size(), c.exitCode == 0 ? 2u : 0u);
        EXPECT_EQ(start.callsStartingWith({"CreateFile new C:\\Temp\\qvo_p"}).size(), c.notified ? 1u : 0u);
        EXPECT_EQ(start.count(takingTurn), c.notified ? 1u : 0u);
        if (c.exitCode == 0) {
            EXPECT_EQ(start.logLines().back(), "exiting");
        }
    }
}

// Single-instance mode off: every start holds a semaphore of its own, named
// with the lowest counter nobody holds; with every counter up to 100000 held,
// the last one's handle is kept anyway.
TEST(SingleInstance, CountedNamesWhenSingleInstanceModeIsOff) {
    struct Case {
        std::vector<int> held;  // counters of the others' semaphores
        std::string name;       // the counter of this start's name
        const char* code;
        int handles;            // open on this start's name afterwards
    } cases[] = {{{0, 1, 3}, "2", "0", 1}, {{}, "100000", "183", 2}};
    for (int n = 0; n <= 100000; ++n) cases[1].held.push_back(n);
    for (const Case& c : cases) {
        Start start;
        start.setKey(key::singleInstance, "0");
        for (int n : c.held) start.semaphores.open[instanceName + std::to_string(n)] = 1;
        EXPECT_EQ(runCheck(), -1);
        EXPECT_EQ(semaphoreName(), instanceName + c.name);
        std::map<std::string, int> open = start.semaphores.open;
        EXPECT_EQ(open[instanceName + c.name], c.handles) << "this start holds its own";
        std::size_t total = 0;
        for (const auto& [name, handles] : open) total += static_cast<std::size_t>(handles);
        EXPECT_EQ(total, c.held.size() + 1) << "every probe closed again";
        EXPECT_EQ(start.stepLog(), (std::vector<std::string>{"semaphore name " + instanceName + c.name + ", code " +
                                                             c.code + ", value <handle>"}));
        EXPECT_EQ(start.registry.writes, 0);
    }
}

}  // namespace
}  // namespace qarvo
