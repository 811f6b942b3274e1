#include "os/windows/FileSystemWin.h"

#include <direct.h>
#include <windows.h>

namespace qarvo {

bool WindowsFileSystem::findFirst(const std::string& pattern, FileTime* lastWrite) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    if (lastWrite) {
        lastWrite->low = data.ftLastWriteTime.dwLowDateTime;
        lastWrite->high = data.ftLastWriteTime.dwHighDateTime;
    }
    FindClose(search);
    return true;
}

std::vector<std::string> WindowsFileSystem::findAll(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        names.emplace_back(data.cFileName);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}

bool WindowsFileSystem::makeDirectory(const std::string& path) { return _mkdir(path.c_str()) == 0; }

bool WindowsFileSystem::removeDirectory(const std::string& path) { return _rmdir(path.c_str()) == 0; }

}  // namespace qarvo
