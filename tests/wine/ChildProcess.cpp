#include "ChildProcess.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>

#include "WineHarness.h"

extern char** environ;

namespace qarvo::wine {

Environment currentEnvironment() {
    Environment out;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        if (equals != nullptr) out[std::string(*entry, static_cast<std::size_t>(equals - *entry))] = equals + 1;
    }
    return out;
}

namespace {

// Points `fd` at `path` (or /dev/null); only async-signal-safe calls, as it
// runs between fork and exec.
bool redirect(int fd, const char* path, int flags) {
    int opened = open(path, flags, 0644);
    if (opened < 0) return false;
    if (opened == fd) return fcntl(fd, F_SETFD, 0) == 0;  // keep it across exec
    if (dup2(opened, fd) < 0) return false;
    close(opened);
    return true;
}

// Closes every descriptor above the standard three: a pipe of the test runner
// inherited by Wine's long-lived service processes would keep it waiting.
void closeOtherDescriptors() {
    if (close_range(3, ~0U, 0) == 0) return;
    for (int fd = 3; fd < 4096; ++fd) close(fd);
}

}  // namespace

pid_t spawnChild(const ChildCommand& command, std::string& error) {
    if (command.argv.empty()) {
        error = "no program to run";
        return -1;
    }
    // Everything the child needs is prepared before fork.
    std::vector<std::string> envStrings;
    for (const auto& [name, value] : command.environment) envStrings.push_back(name + "=" + value);
    std::vector<char*> envp, argv;
    for (std::string& s : envStrings) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = command.argv;
    for (std::string& s : args) argv.push_back(s.data());
    argv.push_back(nullptr);
    const std::string cwd = command.workingDirectory.string();
    const std::string out = command.standardOutput.empty() ? "/dev/null" : command.standardOutput.string();
    const std::string err = command.standardError.empty() ? "/dev/null" : command.standardError.string();
    const int writeFlags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;

    pid_t pid = fork();
    if (pid < 0) {
        error = std::string("fork failed: ") + std::strerror(errno);
        return -1;
    }
    if (pid == 0) {
        if (!redirect(0, "/dev/null", O_RDONLY) || !redirect(1, out.c_str(), writeFlags) ||
            !redirect(2, err.c_str(), writeFlags)) {
            _exit(126);
        }
        closeOtherDescriptors();
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
        environ = envp.data();
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

int waitChild(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

int runChild(const ChildCommand& command, std::string& error) {
    pid_t pid = spawnChild(command, error);
    return pid < 0 ? -1 : waitChild(pid);
}

std::pair<std::filesystem::path, std::filesystem::path> outputFiles() {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path dir = wineRoot() / "runs";
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    const std::string stem = std::to_string(getpid()) + "-" + std::to_string(counter++);
    return {dir / (stem + ".out"), dir / (stem + ".err")};
}

std::string readTextFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

double monotonicSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace qarvo::wine
