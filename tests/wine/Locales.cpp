#include "Locales.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "ChildProcess.h"
#include "WineHarness.h"

namespace qarvo::wine {

namespace fs = std::filesystem;

fs::path localeDirectory() { return wineRoot() / "locales"; }

namespace {

// Holds an exclusive lock on a file for its lifetime.
class FileLock {
public:
    explicit FileLock(const fs::path& path) : fd_(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        if (fd_ >= 0) flock(fd_, LOCK_EX);
    }
    ~FileLock() {
        if (fd_ >= 0) close(fd_);  // releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_;
};

}  // namespace

bool ensureLocale(const std::string& name, std::string& error) {
    const std::size_t dot = name.find('.');
    if (dot == std::string::npos || dot == 0 || name.find('/') != std::string::npos) {
        error = "locale names look like de_DE.UTF-8, not '" + name + "'";
        return false;
    }
    const fs::path dir = localeDirectory();
    std::error_code ec;
    fs::create_directories(dir, ec);
    FileLock lock(dir / ".lock");
    if (!lock.held()) {
        error = "cannot lock " + (dir / ".lock").string();
        return false;
    }
    const fs::path target = dir / name;
    if (fs::exists(target / "LC_CTYPE")) return true;

    // Compiled under a temporary name and renamed, so that a half-written
    // locale left by an interrupted run is never taken for a complete one.
    const fs::path building = dir / (name + ".new");
    fs::remove_all(building, ec);
    fs::remove_all(target, ec);
    ChildCommand command;
    command.argv = {"localedef", "-i", name.substr(0, dot), "-f", name.substr(dot + 1), building.string()};
    command.environment = currentEnvironment();
    const auto [out, err] = outputFiles();
    command.standardOutput = out;
    command.standardError = err;
    const int status = runChild(command, error);
    const std::string messages = readTextFile(err);
    fs::remove(out, ec);
    fs::remove(err, ec);
    // localedef exits with 1 for warnings while still writing the locale.
    if (status < 0 || !fs::exists(building / "LC_CTYPE")) {
        error = "localedef for " + name + " failed (" + std::to_string(status) + "): " + messages;
        return false;
    }
    fs::rename(building, target, ec);
    if (ec) {
        error = "cannot rename " + building.string() + ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace qarvo::wine
