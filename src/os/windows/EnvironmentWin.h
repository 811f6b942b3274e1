// The process environment through GetEnvironmentVariableA/SetEnvironmentVariableA.
#pragma once

#include "os/Environment.h"

namespace qarvo {

class WindowsEnvironment final : public Environment {
public:
    bool get(const char* name, std::string& value) override;
    bool set(const char* name, const char* value) override;
    std::vector<std::string> block() override;
};

}  // namespace qarvo
