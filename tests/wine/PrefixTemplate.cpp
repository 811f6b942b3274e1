// The fixture side of the harness: the template prefix, the shared prefix and
// their removal.
#include <fstream>
#include <iostream>
#include <sstream>

#include "ChildProcess.h"
#include "PrefixControl.h"
#include "WineHarness.h"

namespace qarvo::wine {

namespace {

constexpr const char* sharedMarker = ".qarvo-shared";

// Settings every test prefix has: no crash dialog that would block a run under
// a display, and Wine's virtual desktop for the tests under Xvfb.
constexpr const char* templateSettings =
    "Windows Registry Editor Version 5.00\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n"
    "\"ShowCrashDialog\"=dword:00000000\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"
    "\"Desktop\"=\"Default\"\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n"
    "\"Default\"=\"800x600\"\n";

// What the registry file must hold once the settings are flushed.
constexpr const char* flushedSettings[] = {
    "\"ShowCrashDialog\"=dword:00000000", "\"Desktop\"=\"Default\"", "\"Default\"=\"800x600\""};

fs::file_time_type newestWineFile() {
    fs::file_time_type newest = fs::file_time_type::min();
    for (const char* file : {"/usr/bin/wine", "/usr/lib/wine/wine", "/usr/lib/wine/wine64",
                             "/usr/lib/wine/wineserver64", "/usr/lib/wine/wineserver32"}) {
        std::error_code ec;
        const fs::file_time_type time = fs::last_write_time(file, ec);
        if (!ec && time > newest) newest = time;
    }
    return newest;
}

bool templateIsCurrent(const fs::path& templatePath) {
    const fs::path stamp = templatePath / templateStampName;
    std::ifstream in(stamp);
    std::string version;
    if (!std::getline(in, version) || version != templateStampVersion) return false;
    for (const char* file : {"system.reg", "user.reg", "userdef.reg", "drive_c", "dosdevices"}) {
        if (!fs::exists(templatePath / file)) return false;
    }
    std::error_code ec;
    const fs::file_time_type stampTime = fs::last_write_time(stamp, ec);
    return !ec && stampTime > newestWineFile();
}

// Runs wineboot in a new prefix with its server already up, seeds the settings
// and records the user's temporary directory.
bool initialisePrefix(const Prefix& prefix, std::string& temporaryDirectory, std::string& error) {
    RunRequest boot;
    boot.program = "wineboot";
    boot.arguments = {"-i"};
    boot.workingDirectory = prefix.path();
    boot.timeoutSeconds = 240;
    RunResult booted = prefix.run(boot);
    if (booted.exitCode != 0) {
        error = "wineboot -i exited with " + std::to_string(booted.exitCode) + ": " + booted.standardError;
        return false;
    }
    if (!prefix.importRegistry(templateSettings)) {
        error = "could not import the template's registry settings";
        return false;
    }
    RunRequest echo;
    echo.program = "cmd";
    echo.arguments = {"/c", "echo", "%TMP%"};
    echo.workingDirectory = prefix.path();
    RunResult temp = prefix.run(echo);
    temporaryDirectory = trimLineEnd(temp.standardOutput);
    if (temp.exitCode != 0 || temporaryDirectory.size() < 3 || temporaryDirectory[1] != ':') {
        error = "could not read %TMP% of the new prefix: '" + temp.standardOutput + "'";
        return false;
    }
    return true;
}

bool settingsFlushed(const fs::path& prefix, std::string& error) {
    const std::string userReg = readTextFile(prefix / "user.reg");
    for (const char* setting : flushedSettings) {
        if (userReg.find(setting) == std::string::npos) {
            error = std::string("the template's user.reg lacks ") + setting;
            return false;
        }
    }
    return true;
}

}  // namespace

bool prepareTemplate(std::string& error) {
    const fs::path templatePath = wineRoot() / "template";
    if (templateIsCurrent(templatePath)) return true;

    // Built under another name and renamed when complete, so that an
    // interrupted run never leaves a template that looks usable.
    const fs::path building = wineRoot() / "template.new";
    if (!checkPrefixPath(building, error) || !checkPrefixPath(templatePath, error)) return false;
    discardPrefix(templatePath);
    discardPrefix(building);
    std::error_code ec;
    fs::create_directories(building, ec);
    if (ec) {
        error = "cannot create " + building.string() + ": " + ec.message();
        return false;
    }
    if (!startServer(building, error)) return false;
    std::string temporaryDirectory;
    const bool initialised = initialisePrefix(Prefix(building, false), temporaryDirectory, error);
    stopServer(building);  // flushes the registry files
    if (!initialised || !settingsFlushed(building, error)) return false;
    {
        std::ofstream stamp(building / templateStampName);
        stamp << templateStampVersion << "\n" << "temp=" << temporaryDirectory << "\n";
        if (!stamp) {
            error = "cannot write the template stamp";
            return false;
        }
    }
    fs::rename(building, templatePath, ec);
    if (ec) {
        error = "cannot rename " + building.string() + ": " + ec.message();
        return false;
    }
    return true;
}

bool prepareSharedPrefix(std::string& error) {
    const fs::path shared = wineRoot() / "shared";
    removePrefixesInUse();
    if (!clonePrefixTree(wineRoot() / "template", shared, error)) return false;
    if (!startServer(shared, error)) return false;
    // The first run after a server start launches Wine's service processes;
    // doing it here spares the first test that second.
    RunRequest warmUp;
    warmUp.program = "cmd";
    warmUp.arguments = {"/c", "exit"};
    warmUp.workingDirectory = shared;
    RunResult r = Prefix(shared, false).run(warmUp);
    if (r.exitCode != 0) {
        error = "the first run in the shared prefix exited with " + std::to_string(r.exitCode) + ": " + r.standardError;
        return false;
    }
    std::ofstream marker(shared / sharedMarker);
    marker << "server started\n";
    return static_cast<bool>(marker);
}

void removePrefixesInUse() {
    discardPrefix(wineRoot() / "shared");
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(wineRoot() / "clones", ec)) {
        discardPrefix(entry.path());
    }
    fs::remove_all(wineRoot() / "runs", ec);
}

}  // namespace qarvo::wine
