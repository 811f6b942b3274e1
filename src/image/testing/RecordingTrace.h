// A ConfigTrace that keeps every line it is sent.
#pragma once

#include <string>
#include <vector>

#include "image/ConfigBlock.h"

namespace qarvo::testing {

class RecordingTrace final : public ConfigTrace {
public:
    void line(const char* text) override { lines.push_back(text); }
    std::vector<std::string> lines;
};

}  // namespace qarvo::testing
