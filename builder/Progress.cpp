#include "builder/Progress.h"

namespace qarvo::builder {

namespace {
constexpr int barWidth = 30;
}

std::string progressLine(const std::string& name, std::uint64_t done, std::uint64_t total) {
    const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
    const int filled = percent * barWidth / 100;
    std::string shown = name.size() > 32 ? "..." + name.substr(name.size() - 29) : name;
    return "\rincluding " + shown + std::string(32 - shown.size(), ' ') + " [" + std::string(filled, '#') +
           std::string(barWidth - filled, ' ') + "] " + std::to_string(percent) + "%";
}

void Progress::start(const std::string& name) {
    name_ = name;
    drawnPercent_ = -1;
    draw();
}

void Progress::advance(std::uint64_t bytes) {
    done_ += bytes;
    draw();
}

void Progress::draw() {
    if (!shown_) return;
    const int percent = total_ == 0 ? 100 : static_cast<int>(done_ * 100 / total_);
    if (percent == drawnPercent_) return;
    drawnPercent_ = percent;
    host_.writeStandardError(progressLine(name_, done_, total_));
}

void Progress::finish() {
    if (shown_) host_.writeStandardError("\n");
}

}  // namespace qarvo::builder
