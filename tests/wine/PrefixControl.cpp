#include "PrefixControl.h"

#include <cstdlib>

#include "WineHarness.h"

namespace qarvo::wine {

namespace {

constexpr const char* registryFiles[] = {"system.reg", "user.reg", "userdef.reg"};

bool hasPrefix(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::string serverBinary() {
    // Debian's /usr/bin/wineserver wrapper forces "-p0"; the real binary does not.
    for (const char* candidate : {"/usr/lib/wine/wineserver64", "/usr/lib/wine/wineserver32"}) {
        if (std::filesystem::exists(candidate)) return candidate;
    }
    return "wineserver";
}

int runQuietly(const std::filesystem::path& prefix, std::vector<std::string> argv, std::string& error) {
    ChildCommand command;
    command.argv = std::move(argv);
    command.environment = wineEnvironment(prefix);
    return runChild(command, error);
}

}  // namespace

bool checkPrefixPath(const std::filesystem::path& prefix, std::string& error) {
    namespace fs = std::filesystem;
    if (prefix.empty() || !prefix.is_absolute()) {
        error = "refusing a Wine prefix that is empty or relative: '" + prefix.string() + "'";
        return false;
    }
    const fs::path normal = prefix.lexically_normal();
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        const fs::path defaultPrefix = (fs::path(home) / ".wine").lexically_normal();
        std::error_code ec;
        if (normal == defaultPrefix || fs::equivalent(normal, defaultPrefix, ec)) {
            error = "refusing the default Wine prefix " + defaultPrefix.string();
            return false;
        }
    }
    const fs::path root = wineRoot().lexically_normal();
    const fs::path inside = normal.lexically_relative(root);
    if (inside.empty() || inside == "." || *inside.begin() == "..") {
        error = "refusing a Wine prefix outside " + root.string() + ": " + normal.string();
        return false;
    }
    return true;
}

Environment wineEnvironment(const std::filesystem::path& prefix) {
    Environment env = currentEnvironment();
    static const char* const dropped[] = {
        "WINEPATH", "WINEARCH", "WINEDEBUG", "WINEDLLOVERRIDES", "WINEPREFIX", "WINESERVER",
        "WINELOADER", "WINEDLLPATH", "DISPLAY", "WAYLAND_DISPLAY", "LANG", "LANGUAGE", "LOCPATH",
        "JAVA_HOME", "JDK_HOME", "JRE_HOME"};
    for (const char* name : dropped) env.erase(name);
    for (auto it = env.begin(); it != env.end();) {
        const bool launcherSetting = hasPrefix(it->first, "QARVO_") || hasPrefix(it->first, "MORAVELIN_");
        it = (launcherSetting || hasPrefix(it->first, "LC_")) ? env.erase(it) : std::next(it);
    }
    env["WINEPREFIX"] = prefix.string();
    env["WINEDEBUG"] = "-all";
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml=;winemenubuilder.exe=d";
    return env;
}

bool startServer(const std::filesystem::path& prefix, std::string& error) {
    if (!checkPrefixPath(prefix, error)) return false;
    const int status = runQuietly(prefix, {"setsid", serverBinary(), "-p"}, error);
    if (status != 0) {
        if (error.empty()) error = "wineserver -p for " + prefix.string() + " exited with " + std::to_string(status);
        return false;
    }
    return true;
}

void stopServer(const std::filesystem::path& prefix) {
    std::string error;
    if (!checkPrefixPath(prefix, error)) return;
    runQuietly(prefix, {"timeout", "-k", "2", "30", "wineserver", "-k"}, error);
    runQuietly(prefix, {"timeout", "-k", "2", "30", "wineserver", "-w"}, error);
}

bool clonePrefixTree(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::string& error) {
    namespace fs = std::filesystem;
    if (!checkPrefixPath(to, error)) return false;
    std::error_code ec;
    fs::create_directories(to.parent_path(), ec);
    ChildCommand copy;
    copy.argv = {"cp", "-al", from.string(), to.string()};
    copy.environment = currentEnvironment();
    const auto [out, err] = outputFiles();
    copy.standardError = err;
    const int status = runChild(copy, error);
    const std::string messages = readTextFile(err);
    fs::remove(err, ec);
    if (status != 0) {
        if (error.empty()) error = "cp -al " + from.string() + " failed: " + messages;
        return false;
    }
    for (const char* name : registryFiles) {
        fs::remove(to / name, ec);
        if (!fs::copy_file(from / name, to / name, ec)) {
            error = "cannot copy " + (from / name).string() + ": " + ec.message();
            return false;
        }
    }
    return true;
}

void discardPrefix(const std::filesystem::path& prefix) {
    std::string error;
    if (!checkPrefixPath(prefix, error)) return;
    stopServer(prefix);
    std::error_code ec;
    std::filesystem::remove_all(prefix, ec);  // removes symbolic links (z: -> /), never follows them
}

}  // namespace qarvo::wine
