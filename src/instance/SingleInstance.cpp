#include "instance/SingleInstance.h"

#include <memory>
#include <utility>

#include "base/CodePage.h"
#include "base/Format.h"
#include "base/PathHelpers.h"
#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "image/LittleEndian.h"
#include "instance/Notification.h"
#include "instance/WindowRaising.h"
#include "os/System.h"
#include "payload/TempDirectories.h"
#include "report/ErrorReport.h"
#include "report/Log.h"

namespace qarvo {

namespace {

constexpr const char* pidsKey = "SOFTWARE\\tarnwell\\qarvo\\pids\\";
constexpr const char* globalPrefix = "Global\\";
// Highest counter of a semaphore name when single-instance mode is off.
constexpr std::uint32_t highestCounter = 100000;
// The wait for the notification file to go: at most 200 passes of 50 ms, a
// look at the first instance in every fifth pass from the first on.
constexpr int waitPasses = 200;
constexpr std::uint32_t passMilliseconds = 50;
constexpr int passesPerLook = 5;
// What WaitForSingleObject and ReleaseSemaphore report for the null handle of
// a notification semaphore that could not be created.
constexpr std::uint32_t waitFailed = 0xFFFFFFFF;
constexpr std::uint32_t errorInvalidHandle = 6;

std::string currentName;
bool named = false;
// The semaphore this process holds: deliberately never closed, so that its
// name exists for as long as the process runs (the system closes it then).
os::Semaphore* held = nullptr;

void hold(std::unique_ptr<os::Semaphore> semaphore) { delete std::exchange(held, semaphore.release()); }

void logSemaphore(const os::Semaphore* semaphore, std::uint32_t lastError) {
    logLine("semaphore name %s, code %d, value %p", currentName.c_str(), static_cast<int>(lastError),
            semaphore ? semaphore->handleValue() : nullptr);
}

// Single-instance mode off: the lowest counter whose name is free, or the
// highest counter when none is.
void nameCountedSemaphore(const std::string& base) {
    std::uint32_t lastError = 0;
    std::unique_ptr<os::Semaphore> semaphore;
    for (std::uint32_t counter = 0;; ++counter) {
        currentName = formatText("%s%u", base.c_str(), counter);
        semaphore = os::semaphores().create(currentName, lastError);
        if (lastError != os::errorAlreadyExists || counter >= highestCounter) break;
        semaphore.reset();
    }
    logSemaphore(semaphore.get(), lastError);
    hold(std::move(semaphore));
}

// This start's turn among later starts of the same executable: the
// notification semaphore, taken on construction without a time limit.
class NotificationTurn {
public:
    explicit NotificationTurn(const std::string& name) {
        std::uint32_t error = 0;
        semaphore_ = os::semaphores().create(name, error);
        if (!semaphore_) logLine("semaphore creation failed %d", static_cast<int>(error));
        logLine("waiting for notification semaphore");
        const std::uint32_t result = semaphore_ ? semaphore_->waitForever() : waitFailed;
        logLine("wait returned %d", static_cast<int>(result));
    }
    // Releases the semaphore, once; the starts queued behind this one go on.
    void giveBack() {
        if (std::exchange(givenBack_, true)) return;
        std::uint32_t error = errorInvalidHandle;
        if (!semaphore_ || !semaphore_->release(error)) logLine("release semaphore failed %d", static_cast<int>(error));
    }

private:
    std::unique_ptr<os::Semaphore> semaphore_;
    bool givenBack_ = false;
};

// Waits while `file` exists, for about 10 seconds at most. True when the first
// instance turned out to have ended meanwhile.
bool firstInstanceGoneWhileFileExists(const std::string& file) {
    for (int pass = 0; pass < waitPasses && fileExists(file); ++pass) {
        os::machine().sleep(passMilliseconds);
        if (pass % passesPerLook == 0 && !isFirstInstanceAlive()) return true;
    }
    return false;
}

// Writes the notification file and waits until the running instance has taken
// it. A failure gives the turn back before it ends the process: the starts
// queued behind this one wait without a time limit, and a semaphore taken by
// an ended process is not given back by the system.
void deliver(const std::string& file, NotificationTurn& turn) {
    std::uint32_t error = 0;
    std::unique_ptr<os::WritableFile> out = os::files().create(file, os::Files::Creation::createNew, error);
    if (!out) {
        logLine("CreateFile failed %d", static_cast<int>(error));
        turn.giveBack();
        failWithMessageId(message::internalError, "21");
    }
    const std::string text = notificationText(os::processes().commandLineWide());
    const os::IoResult written = out->write(text.data(), text.size());
    out.reset();
    if (!written.ok || written.bytes != text.size()) {
        logError("WriteFile failed %d", static_cast<int>(written.error));
        // A partial file would be read as a notification, or block every later
        // start until the running instance gives up on it.
        os::files().deleteFile(file, error);
        turn.giveBack();
        failWithMessageId(message::internalError, "22");
    }
    logLine("waiting for file deletion");
    // Nobody will read the file of an instance that has ended.
    if (firstInstanceGoneWhileFileExists(file)) os::files().deleteFile(file, error);
}

// A later instance: raises the first instance's windows, hands the arguments
// over and ends the process.
[[noreturn]] void handOver(bool notifyRunningInstance) {
    const std::uint32_t pid = readInstancePid();
    logLine("other pid %d", static_cast<int>(pid));
    constexpr bool restore = true;
    activateProcessWindows(pid, restore);
    if (notifyRunningInstance) {
        const std::string file = makeCommFileName(pid);
        logLine("notification via %s", file.c_str());
        NotificationTurn turn(currentName + "_notification");
        if (isFirstInstanceAlive() && !firstInstanceGoneWhileFileExists(file)) deliver(file, turn);
        turn.giveBack();
    }
    logLine("exiting");
    exitWithCode(0);
}

}  // namespace

void runSingleInstanceCheck(bool honourConfiguration, bool notifyRunningInstance) {
    std::string transformed = instanceKeyName();
    replaceCharacter(transformed, '\\', '_');
    const std::string base = (getIntValue(key::globalSemaphores) != 0 ? globalPrefix : "") + transformed;
    named = true;
    if (honourConfiguration && getIntValue(key::singleInstance) == 0) {
        nameCountedSemaphore(base);
        return;
    }
    logLine("single instance mode");
    currentName = base;
    std::uint32_t lastError = 0;
    std::unique_ptr<os::Semaphore> semaphore = os::semaphores().create(currentName, lastError);
    logSemaphore(semaphore.get(), lastError);
    if (lastError != os::errorAlreadyExists) {
        // The first instance, also when no semaphore could be created at all.
        hold(std::move(semaphore));
        writeInstancePid();
        return;
    }
    semaphore.reset();
    handOver(notifyRunningInstance);
}

const char* semaphoreName() { return named ? currentName.c_str() : nullptr; }

std::string instanceKeyName() {
    constexpr bool keepCase = false;
    return absolutePath(launcherPath(), keepCase);
}

void writeInstancePid() {
    std::uint8_t bytes[4];
    writeLittleEndian(bytes, os::processes().currentProcessId(), sizeof bytes);
    os::registry().writeValue(os::Hive::currentUser, os::RegistryView::own, pidsKey, instanceKeyName(),
                              os::Registry::ValueType::dword, std::string(bytes, bytes + sizeof bytes));
}

std::uint32_t readInstancePid() {
    std::string data;
    constexpr std::size_t dwordSize = 4;
    if (!os::registry().readValue(os::Hive::currentUser, os::RegistryView::own, pidsKey, instanceKeyName(), dwordSize,
                                  data) ||
        data.size() != dwordSize) {
        return 0;
    }
    return static_cast<std::uint32_t>(readLittleEndian(reinterpret_cast<const std::uint8_t*>(data.data()), dwordSize));
}

bool isFirstInstanceAlive() {
    std::uint32_t lastError = 0;
    std::unique_ptr<os::Semaphore> probe = os::semaphores().create(currentName, lastError);
    if (!probe || lastError == os::errorAlreadyExists) return true;
    // This call has just created it: the first instance's handle is gone.
    probe.reset();
    logLine("main process already released semaphore.");
    return false;
}

void resetSingleInstanceForTesting() {
    delete std::exchange(held, nullptr);
    currentName.clear();
    named = false;
}

}  // namespace qarvo
