#include "vmargs/VariableExpansion.h"

#include "base/CodePage.h"
#include "base/PathHelpers.h"
#include "os/System.h"
#include "payload/TempDirectories.h"
#include "report/Log.h"

namespace qarvo {

namespace {

std::string home;

// The launcher's own variables and what each stands for, in the order they
// are replaced.
enum Value : std::uint8_t { launcherDirectory, launcherTemp, pathListSeparator, jvmHomeValue, systemTemp };
struct Variable {
    constexpr Variable(std::string_view text, Value stands)
        : name(text.data()), length(static_cast<std::uint8_t>(text.size())), value(stands) {}
    const char* name;
    std::uint8_t length;  // of name: a byte, so that a row takes 8 bytes (16 in the 64-bit build)
    Value value;
};
constexpr Variable fixedVariables[] = {
    {"%QARVO_EXEDIR%", launcherDirectory},
    {"%MORAVELIN_EXEDIR%", launcherDirectory},
    {"%QARVO_TEMPDIR%", launcherTemp},
    {"%MORAVELIN_TEMPDIR%", launcherTemp},
    {"%QARVO_PATHLIST_SEPARATOR%", pathListSeparator},
    {"%MORAVELIN_PATHLIST_SEPARATOR%", pathListSeparator},
    {"%QARVO_JVM_HOME%", jvmHomeValue},
    {"%MORAVELIN_JVM_HOME%", jvmHomeValue},
    {"${QARVO_EXEDIR}", launcherDirectory},
    {"${MORAVELIN_EXEDIR}", launcherDirectory},
    {"${QARVO_TEMPDIR}", launcherTemp},
    {"${MORAVELIN_TEMPDIR}", launcherTemp},
    {"${QARVO_PATHLIST_SEPARATOR}", pathListSeparator},
    {"${MORAVELIN_PATHLIST_SEPARATOR}", pathListSeparator},
    {"${QARVO_JVM_HOME}", jvmHomeValue},
    {"${MORAVELIN_JVM_HOME}", jvmHomeValue},
    {"${launcher:sys.launcherDirectory}", launcherDirectory},
    {"${launcher:sys.launcherTempDirectory}", launcherTemp},
    {"${launcher:sys.pathlistSeparator}", pathListSeparator},
    {"${launcher:sys.jvmHome}", jvmHomeValue},
    {"${launcher:sys.tempDir}", systemTemp},
};

}  // namespace

void replaceAll(std::string& text, std::string_view name, std::string_view value) {
    if (name.empty()) return;
    std::size_t at = text.find(name);
    while (at != std::string::npos) {
        if (text.size() - name.size() + value.size() > expandedCapacity) {
            // Values that refer to later variables could otherwise grow without end.
            logError("expanding %.*s would make %s longer than %u bytes; left as it is", static_cast<int>(name.size()),
                     name.data(), text.c_str(), static_cast<unsigned>(expandedCapacity));
            return;
        }
        text.replace(at, name.size(), value);
        logLine("expanding %.*s to %.*s in %s.", static_cast<int>(name.size()), name.data(),
                static_cast<int>(value.size()), value.data(), text.c_str());
        at = text.find(name, at + value.size());
    }
}

void expandVariables(std::string& text) {
    const std::string directory = resolveRelativePath("", nullptr);
    const std::string systemTemp = getSystemTempDirectory();
    // Every name starts with '%' or '$': a text without either has nothing to
    // expand, and is left before any name is looked for. Starts expand a few
    // texts each, so this spares most of the work of a start.
    if (text.find_first_of("%$") == std::string::npos) return;
    const std::string& launcherTemp = launcherTempDirectory();
    const std::string separator = ";";
    const std::string* const values[] = {&directory, &launcherTemp, &separator, &home, &systemTemp};
    for (const Variable& variable : fixedVariables) {
        replaceAll(text, std::string_view(variable.name, variable.length), *values[variable.value]);
    }

    // An environment variable is named ${NAME} (or ${UPPER CASE NAME}); the
    // environment is read only for a text that can still name one (a value put
    // in above may have brought "${" with it).
    if (text.find("${") == std::string::npos) return;
    std::string pattern;
    for (const std::string& entry : os::environment().block()) {
        const std::size_t eq = entry.find('=');
        if (eq == std::string::npos) continue;
        const std::string_view value = std::string_view(entry).substr(eq + 1);
        pattern.assign("${").append(entry, 0, eq).append("}");
        replaceAll(text, pattern, value);
        upperCaseAscii(pattern);
        replaceAll(text, pattern, value);
    }
}

void setJvmHomeFromExecutable(const std::string& javaExe) {
    home = javaExecutableDirectory(javaExe) + "..";
}

const std::string& jvmHome() { return home; }

void resetJvmHomeForTesting() { home.clear(); }

}  // namespace qarvo
