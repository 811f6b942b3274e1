// The fixture of the runtime-search tests: the test system with the log on
// and helpers that lay out runtimes on its disk.
#pragma once

#include <cstdint>
#include <string>

#include "testing/TestSystem.h"

namespace qarvo::testing {

class RuntimeFixture : public TestSystem {
public:
    RuntimeFixture();

    // A java executable of `machine` type whose "-version" prints `output`.
    void addJavaExe(const std::string& path, const std::string& output, std::uint16_t machine = 0x014C,
                    os::FileTime time = {1, 0});
    // bin\java.exe and bin\javaw.exe of version `version` and the jvm.dll of
    // `type`; returns the java.exe path.
    std::string addRuntime(const std::string& home, const std::string& version, const std::string& type = "client");
    void addJvmDll(const std::string& path, std::uint32_t loadError = 0);
};

// The first bytes of a PE file of `machine` type, as far as the probe reads.
std::string peHeader(std::uint16_t machine);

}  // namespace qarvo::testing
