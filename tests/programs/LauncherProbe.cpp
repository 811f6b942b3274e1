// Runs single operations of the launcher's own code under Wine and prints their
// results, for the end-to-end tests. Message texts are given on the command
// line; only "own-config" reads a configuration block, appended to a copy of
// this program as to the launcher.
//
//   launcher_probe [--set KEY=TEXT]... [--quiet] [--emulate-long-path]
//                  [--fail-create-directory N] <operation> [arguments]
//
// Operations: launcher-path, absolute <path> [keep], file-exists <path>,
// list <directory> <extension>, long-path <path>, temp-dir, writable <dir>,
// temp-file, comm-file <pid>, launcher-temp-dir, own-config <key>... (prints
// the user locale's name, then the UTF-8 of each key's wide value),
// allocate new|string <bytes> (asks for that many bytes through new[] or a
// string's reserve).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/OutOfMemory.h"
#include "base/PathHelpers.h"
#include "config/Configuration.h"
#include "config/ReadConfiguration.h"
#include "os/testing/ForwardingFiles.h"
#include "os/windows/WindowsSystem.h"
#include "payload/TempDirectories.h"
#include "report/ErrorReport.h"

using namespace qarvo;

namespace {

// Lets the creation of the launcher temporary directory fail a given number of
// times, to exercise the retries;
// every other call goes to the Win32 files.
class FailingFiles final : public os::testing::ForwardingFiles {
public:
    using ForwardingFiles::ForwardingFiles;
    bool createDirectory(const std::string& path, std::uint32_t& error) override {
        // Only the launcher temporary directory, not the look at the system's.
        const bool launcherTemp = path.size() > 4 && path.compare(path.size() - 4, 4, "_dir") == 0;
        if (failures > 0 && launcherTemp) {
            --failures;
            error = ERROR_ACCESS_DENIED;
            return false;
        }
        return ForwardingFiles::createDirectory(path, error);
    }
    int failures = 0;
};

int usage() {
    std::fprintf(stderr, "launcher_probe: bad arguments\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    os::installWindowsSystem();
    FailingFiles failingFiles(*os::windowsSystem().files);
    os::System system = os::windowsSystem();
    system.files = &failingFiles;
    os::installSystem(system);
    setMessageTextSource(configuredMessageText);
    setOutOfMemoryHandler(failOutOfMemory);

    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        std::string option = argv[i];
        if (option == "--set" && i + 1 < argc) {
            std::string entry = argv[++i];
            std::size_t eq = entry.find('=');
            if (eq == std::string::npos) return usage();
            configurationMaps().stringValues[std::atoi(entry.substr(0, eq).c_str())] = entry.substr(eq + 1);
        } else if (option == "--quiet") {
            setQuietErrors();
        } else if (option == "--emulate-long-path") {
            longPathConverter = emulateLongPathName;
        } else if (option == "--fail-create-directory" && i + 1 < argc) {
            failingFiles.failures = std::atoi(argv[++i]);
        } else {
            return usage();
        }
    }
    if (i >= argc) return usage();
    std::string operation = argv[i++];
    std::vector<std::string> args(argv + i, argv + argc);

    if (operation == "launcher-path" && args.empty()) {
        std::printf("%s\n", launcherPath().c_str());
    } else if (operation == "absolute" && !args.empty()) {
        std::printf("%s\n", absolutePath(args[0], args.size() > 1 && args[1] == "keep").c_str());
    } else if (operation == "file-exists" && args.size() == 1) {
        std::printf("%d\n", fileExists(args[0]) ? 1 : 0);
    } else if (operation == "list" && args.size() == 2) {
        std::vector<std::string> names;
        std::size_t n = listFilesWithExtension(args[0], args[1], names);
        std::printf("%u\n", static_cast<unsigned>(n));
        for (const std::string& name : names) std::printf("%s\n", name.c_str());
    } else if (operation == "long-path" && args.size() == 1) {
        char buffer[8192];
        std::uint32_t n = longPathConverter(args[0].c_str(), buffer, sizeof buffer);
        if (n == 0 || n >= sizeof buffer) {
            std::printf("failed %lu\n", GetLastError());
            return 1;
        }
        std::printf("%s\n", buffer);
    } else if (operation == "temp-dir" && args.empty()) {
        std::printf("%s\n", getSystemTempDirectory().c_str());
    } else if (operation == "writable" && args.size() == 1) {
        std::printf("%d\n", isWritableDirectory(args[0]) ? 1 : 0);
    } else if (operation == "temp-file" && args.empty()) {
        std::printf("%s\n", makeTempFileName().c_str());
    } else if (operation == "comm-file" && args.size() == 1) {
        std::printf("%s\n", makeCommFileName(static_cast<std::uint32_t>(std::atol(args[0].c_str()))).c_str());
    } else if (operation == "launcher-temp-dir" && args.empty()) {
        createLauncherTempDirectory();
        std::printf("%s\n", launcherTempDirectory().c_str());
    } else if (operation == "allocate" && args.size() == 2) {
        const std::size_t bytes = static_cast<std::size_t>(std::strtoull(args[1].c_str(), nullptr, 10));
        std::string text;
        char* block = nullptr;
        if (args[0] == "new") block = new char[bytes];
        else text.reserve(bytes);
        std::printf("allocated %p\n", static_cast<void*>(block ? block : text.data()));
        delete[] block;
    } else if (operation == "own-config") {
        readConfiguration();
        const char* locale = userLocaleName();
        std::printf("%s\n", locale ? locale : "(none)");
        for (const std::string& key : args) {
            std::u16string value = getWideStringValue(std::atoi(key.c_str()));
            char utf8[8192];
            int n = WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<const wchar_t*>(value.c_str()),
                                        static_cast<int>(value.size()), utf8, sizeof utf8, nullptr, nullptr);
            std::printf("%.*s\n", n, utf8);
        }
    } else {
        return usage();
    }
    return 0;
}
