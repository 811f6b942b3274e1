#include "report/windows/LogPlatformWin.h"

#include <windows.h>

#include <ctime>

namespace qarvo {

std::string WindowsLogPlatform::uniqueLogName() {
    // The C runtime's _tempnam picks the directory this way too, but some
    // runtimes keep only three characters of the prefix; the log's name must
    // begin with "mrv_nlog_" wherever it runs.
    std::string directory = "c:\\";
    char tmp[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("TMP", tmp, sizeof tmp);
    if (n > 0 && n < sizeof tmp) {
        DWORD attributes = GetFileAttributesA(tmp);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            directory = tmp;
            if (directory.back() != '\\' && directory.back() != '/') directory += '\\';
        }
    }
    // A free name: the number starts from the process id and counts up.
    unsigned start = GetCurrentProcessId() * 16u;
    for (unsigned i = 0; i < 4096; ++i) {
        std::string candidate = formatText("%smrv_nlog_%u", directory.c_str(), start + i);
        if (GetFileAttributesA(candidate.c_str()) == INVALID_FILE_ATTRIBUTES &&
            GetLastError() == ERROR_FILE_NOT_FOUND) {
            return candidate;
        }
    }
    return std::string();
}

std::string WindowsLogPlatform::moduleFileName() {
    char buffer[8192];
    DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return std::string(buffer, n < sizeof buffer ? n : 0);
}

std::string WindowsLogPlatform::localTimeText() {
    std::time_t now = std::time(nullptr);
    const char* text = std::ctime(&now);
    return text ? text : "\n";
}

void offerLogLocation(const char* caption) {
    const char* path = logFilePath();
    if (!path) return;
    std::string question = formatText(
        "The following log file will be created:\n\n%s\n\nDo you want to open an Explorer window?", path);
    if (MessageBoxA(nullptr, question.c_str(), caption, MB_YESNO) != IDYES) return;

    char shortPath[MAX_PATH] = "";
    DWORD n = GetShortPathNameA(path, shortPath, sizeof shortPath);
    if (n == 0 || n >= sizeof shortPath) copyBounded(shortPath, sizeof shortPath, path);
    char windowsDirectory[MAX_PATH] = "";
    UINT w = GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
    if (w >= sizeof windowsDirectory) windowsDirectory[0] = '\0';

    std::string command = formatText("%s\\explorer.exe /select,%s", windowsDirectory, shortPath);
    logLine("calling %s", command.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr,
                        nullptr, &startup, &process)) {
        logLine("could not open explorer window %d", static_cast<int>(GetLastError()));
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace qarvo
