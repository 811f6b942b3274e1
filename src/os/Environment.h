// The process environment as the launcher's core sees it. The launcher installs
// the Windows implementation at start; native tests install a fake.
#pragma once

#include <string>
#include <vector>

namespace qarvo {

class Environment {
public:
    virtual ~Environment() = default;
    // Value of variable `name` of the operating system's environment block;
    // false when the variable is not set (an empty value is set).
    virtual bool get(const char* name, std::string& value) = 0;
    // Sets (or with null `value` removes) the variable; false on failure.
    virtual bool set(const char* name, const char* value) = 0;
    // The entries of the environment block ("NAME=value"), in block order.
    virtual std::vector<std::string> block() = 0;
};

// The installed environment. Installing replaces the previous one; the caller
// keeps ownership and keeps it alive while it is installed.
Environment& environment();
void installEnvironment(Environment& env);

}  // namespace qarvo
