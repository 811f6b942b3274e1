// The registry through the advapi32 narrow functions, in the launcher's own
// view (a 32-bit launcher sees HKLM\SOFTWARE through Wow6432Node).
#pragma once

#include "jre/Registry.h"

namespace qarvo {

class WindowsRegistry final : public Registry {
public:
    bool readValue(Hive hive, const std::string& subkey, const std::string& name, std::size_t capacity,
                   std::string& data) override;
    bool subkeyNames(Hive hive, const std::string& subkey, std::size_t limit,
                     std::vector<std::string>& names) override;
    bool writeValue(Hive hive, const std::string& subkey, const std::string& name, ValueType type,
                    const std::string& data) override;
};

}  // namespace qarvo
