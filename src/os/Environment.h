// The process environment: the operating system's environment block and the
// C runtime's own copy of it, which the runtime took at start and keeps apart.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qarvo::os {

class Environment {
public:
    virtual ~Environment() = default;
    // Value of variable `name` of the environment block, whatever its length;
    // false when the variable is not set (an empty value is set).
    virtual bool get(const char* name, std::string& value) = 0;
    // SetEnvironmentVariableA: sets the variable, or removes it when `value`
    // is null. False with the system error on failure.
    virtual bool set(const char* name, const char* value, std::uint32_t& error) = 0;
    // _putenv of "NAME=value" in the C runtime's copy ("NAME=" removes it there).
    virtual void putRuntime(const std::string& assignment) = 0;
    // The entries of the environment block ("NAME=value"), in block order.
    virtual std::vector<std::string> block() = 0;
};

}  // namespace qarvo::os
