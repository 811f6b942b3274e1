#include "vmargs/VariableExpansion.h"

#include "base/CodePage.h"
#include "base/PathHelpers.h"
#include "os/System.h"
#include "payload/TempDirectories.h"
#include "report/Log.h"

namespace qarvo {

namespace {

std::string home;

// Only ASCII letters that are characters of their own change: in a
// double-byte code page the second byte of a character can be a letter.
std::string upperCase(std::string text) {
    upperCaseAscii(text);
    return text;
}

}  // namespace

void replaceAll(std::string& text, const std::string& name, const std::string& value) {
    if (name.empty()) return;
    std::size_t at = text.find(name);
    while (at != std::string::npos) {
        if (text.size() - name.size() + value.size() > expandedCapacity) {
            // Values that refer to later variables could otherwise grow without end.
            logError("expanding %s would make %s longer than %u bytes; left as it is", name.c_str(), text.c_str(),
                     static_cast<unsigned>(expandedCapacity));
            return;
        }
        text.replace(at, name.size(), value);
        logLine("expanding %s to %s in %s.", name.c_str(), value.c_str(), text.c_str());
        at = text.find(name, at + value.size());
    }
}

void expandVariables(std::string& text) {
    const std::string directory = resolveRelativePath("", nullptr);
    const std::string& launcherTemp = launcherTempDirectory();
    // The system temporary directory is looked for (GetTempPathA, creating it,
    // its long form) only when the text refers to it: done for every line of
    // a .vmoptions file, that search made a file of 100,000 lines take minutes.
    std::string systemTemp;
    const std::pair<const char*, const std::string*> fixed[] = {
        {"%QARVO_EXEDIR%", &directory},
        {"%MORAVELIN_EXEDIR%", &directory},
        {"%QARVO_TEMPDIR%", &launcherTemp},
        {"%MORAVELIN_TEMPDIR%", &launcherTemp},
        {"%QARVO_PATHLIST_SEPARATOR%", nullptr},
        {"%MORAVELIN_PATHLIST_SEPARATOR%", nullptr},
        {"%QARVO_JVM_HOME%", &home},
        {"%MORAVELIN_JVM_HOME%", &home},
        {"${QARVO_EXEDIR}", &directory},
        {"${MORAVELIN_EXEDIR}", &directory},
        {"${QARVO_TEMPDIR}", &launcherTemp},
        {"${MORAVELIN_TEMPDIR}", &launcherTemp},
        {"${QARVO_PATHLIST_SEPARATOR}", nullptr},
        {"${MORAVELIN_PATHLIST_SEPARATOR}", nullptr},
        {"${QARVO_JVM_HOME}", &home},
        {"${MORAVELIN_JVM_HOME}", &home},
        {"${launcher:sys.launcherDirectory}", &directory},
        {"${launcher:sys.launcherTempDirectory}", &launcherTemp},
        {"${launcher:sys.pathlistSeparator}", nullptr},
        {"${launcher:sys.jvmHome}", &home},
        {"${launcher:sys.tempDir}", &systemTemp},
    };
    const std::string separator = ";";
    for (const auto& [name, value] : fixed) {
        if (value == &systemTemp) {
            if (text.find(name) == std::string::npos) continue;
            systemTemp = getSystemTempDirectory();
        }
        replaceAll(text, name, value ? *value : separator);
    }

    for (const std::string& entry : os::environment().block()) {
        std::size_t eq = entry.find('=');
        if (eq == std::string::npos) continue;
        const std::string pattern = "${" + entry.substr(0, eq) + "}";
        const std::string value = entry.substr(eq + 1);
        replaceAll(text, pattern, value);
        replaceAll(text, upperCase(pattern), value);
    }
}

void setJvmHomeFromExecutable(const std::string& javaExe) {
    home = javaExecutableDirectory(javaExe) + "..";
}

const std::string& jvmHome() { return home; }

void resetJvmHomeForTesting() { home.clear(); }

}  // namespace qarvo
