// A progress bar on standard error while included files are written, shown
// only when asked to (a terminal and enough bytes to wait for).
#pragma once

#include <cstdint>
#include <string>

#include "builder/HostSystem.h"

namespace qarvo::builder {

class Progress {
public:
    Progress(Host& host, std::uint64_t total, bool shown) : host_(host), total_(total), shown_(shown) {}
    // A new file begins.
    void start(const std::string& name);
    void advance(std::uint64_t bytes);
    // Ends the bar's line.
    void finish();

private:
    void draw();
    Host& host_;
    std::uint64_t total_;
    bool shown_;
    std::uint64_t done_ = 0;
    int drawnPercent_ = -1;
    std::string name_;
};

// The bar's line for `done` of `total` bytes while `name` is written.
std::string progressLine(const std::string& name, std::uint64_t done, std::uint64_t total);

}  // namespace qarvo::builder
