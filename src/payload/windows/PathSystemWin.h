#pragma once

#include "payload/PathHelpers.h"

namespace qarvo {

// The long form of an existing path through the shell's desktop folder, for
// systems without GetLongPathNameA; the arguments and result of that function.
std::uint32_t emulateLongPathName(const char* shortPath, char* buffer, std::uint32_t size);

// The launcher's module path and GetFullPathNameA.
class WindowsPathSystem final : public PathSystem {
public:
    std::string launcherModulePath() override;
    std::string fullPathName(const std::string& path) override;
};

}  // namespace qarvo
