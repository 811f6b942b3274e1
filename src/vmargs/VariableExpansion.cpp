#include "vmargs/VariableExpansion.h"

#include "base/CodePage.h"
#include "base/PathHelpers.h"
#include "os/System.h"
#include "payload/TempDirectories.h"
#include "report/Log.h"

namespace qarvo {

namespace {

std::string home;

}  // namespace

void replaceAll(std::string& text, std::string_view name, std::string_view value) {
    if (name.empty()) return;
    std::size_t at = text.find(name);
    while (at != std::string::npos) {
        if (text.size() - name.size() + value.size() > expandedCapacity) {
            // Values that refer to later variables could otherwise grow without end.
            const std::string shownName(name);
            logError("expanding %s would make %s longer than %u bytes; left as it is", shownName.c_str(), text.c_str(),
                     static_cast<unsigned>(expandedCapacity));
            return;
        }
        text.replace(at, name.size(), value);
        const std::string shownName(name), shownValue(value);
        logLine("expanding %s to %s in %s.", shownName.c_str(), shownValue.c_str(), text.c_str());
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
    const std::pair<std::string_view, const std::string*> fixed[] = {
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
    for (const auto& [name, value] : fixed) {
        replaceAll(text, name, value ? std::string_view(*value) : std::string_view(";"));
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
