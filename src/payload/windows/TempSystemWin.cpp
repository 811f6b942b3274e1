#include "payload/windows/TempSystemWin.h"

#include <windows.h>

#include <cstdlib>
#include <ctime>

namespace qarvo {

std::uint32_t WindowsTempSystem::tempPath(std::string& path, std::uint32_t& lastError) {
    char buffer[8192] = "";
    DWORD n = GetTempPathA(sizeof buffer, buffer);
    lastError = GetLastError();
    path = n < sizeof buffer ? buffer : "";
    return n;
}

std::string WindowsTempSystem::windowsDirectory() {
    char buffer[8192] = "";
    UINT n = GetWindowsDirectoryA(buffer, sizeof buffer);
    return n < sizeof buffer ? buffer : "";
}

std::uint32_t WindowsTempSystem::tempFileName(const std::string& directory, const char* prefix, std::string& name,
                                              std::uint32_t& lastError) {
    char buffer[MAX_PATH] = "";  // GetTempFileNameA writes at most MAX_PATH characters
    UINT n = GetTempFileNameA(directory.c_str(), prefix, 0, buffer);
    lastError = GetLastError();
    name = n ? buffer : "";
    return n;
}

bool WindowsTempSystem::createDirectory(const std::string& path, std::uint32_t& lastError) {
    if (CreateDirectoryA(path.c_str(), nullptr)) return true;
    lastError = GetLastError();
    return false;
}

int WindowsTempSystem::timeSeededRandom() {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    return std::rand();
}

}  // namespace qarvo
