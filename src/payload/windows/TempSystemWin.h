#pragma once

#include "payload/TempDirectories.h"

namespace qarvo {

class WindowsTempSystem final : public TempSystem {
public:
    std::uint32_t tempPath(std::string& path, std::uint32_t& lastError) override;
    std::string windowsDirectory() override;
    std::uint32_t tempFileName(const std::string& directory, const char* prefix, std::string& name,
                               std::uint32_t& lastError) override;
    bool createDirectory(const std::string& path, std::uint32_t& lastError) override;
    int timeSeededRandom() override;
};

}  // namespace qarvo
