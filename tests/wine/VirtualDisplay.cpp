#include "VirtualDisplay.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "ChildProcess.h"

namespace qarvo::wine {

namespace fs = std::filesystem;

namespace {

constexpr int firstDisplay = 90;
constexpr int lastDisplay = 140;
constexpr double socketWaitSeconds = 10;

bool displayInUse(int n) {
    return fs::exists("/tmp/.X" + std::to_string(n) + "-lock") ||
           fs::exists("/tmp/.X11-unix/X" + std::to_string(n));
}

}  // namespace

bool VirtualDisplay::available() {
    for (const char* dir : {"/usr/bin", "/bin", "/usr/local/bin"}) {
        if (access((std::string(dir) + "/Xvfb").c_str(), X_OK) == 0) return true;
    }
    return false;
}

VirtualDisplay::~VirtualDisplay() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitChild(pid_);
    }
}

bool VirtualDisplay::start(std::string& error) {
    for (int n = firstDisplay; n <= lastDisplay; ++n) {
        if (displayInUse(n)) continue;
        ChildCommand command;
        command.argv = {"Xvfb", ":" + std::to_string(n), "-screen", "0", "1024x768x24", "-nolisten", "tcp"};
        command.environment = currentEnvironment();
        pid_t pid = spawnChild(command, error);
        if (pid < 0) return false;
        const fs::path socket = "/tmp/.X11-unix/X" + std::to_string(n);
        const double deadline = monotonicSeconds() + socketWaitSeconds;
        bool died = false;
        while (!fs::exists(socket) && monotonicSeconds() < deadline) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {  // lost the display to another server
                died = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (died) continue;
        if (!fs::exists(socket)) {
            kill(pid, SIGTERM);
            waitChild(pid);
            error = "Xvfb :" + std::to_string(n) + " did not create its socket";
            return false;
        }
        pid_ = pid;
        name_ = ":" + std::to_string(n);
        return true;
    }
    error = "no free X display between :" + std::to_string(firstDisplay) + " and :" + std::to_string(lastDisplay);
    return false;
}

}  // namespace qarvo::wine
