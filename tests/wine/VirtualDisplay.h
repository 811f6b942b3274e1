// An Xvfb server for the tests that need real windows (message boxes).
#pragma once

#include <sys/types.h>

#include <string>

namespace qarvo::wine {

class VirtualDisplay {
public:
    VirtualDisplay() = default;
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;
    ~VirtualDisplay();  // ends the server

    // True when Xvfb is installed.
    static bool available();

    // Starts "Xvfb :N -screen 0 1024x768x24" on the first free N from 90 up and
    // waits for its socket.
    bool start(std::string& error);
    // ":N" once started.
    const std::string& name() const { return name_; }

private:
    pid_t pid_ = -1;
    std::string name_;
};

}  // namespace qarvo::wine
