#include "builder/Schema.h"

#include <string>

namespace qarvo::builder {

namespace {

constexpr Choice applicationTypes[] = {{"gui", "1"}, {"console", "2"}, {"console-dialogs", "5"}};
constexpr Choice launcherKinds[] = {{"plain", "e"}, {"installer", "i"}};

constexpr const char* damagedRuntime32 =
    "The JVM found at {0} is damaged.\nPlease reinstall or define QARVO_JAVA_HOME\nto point to an installed 32-bit JDK or JRE.";
constexpr const char* damagedRuntime64 =
    "The JVM found at {0} is damaged.\nPlease reinstall or define QARVO_JAVA_HOME\nto point to an installed 64-bit JDK or JRE.";

const Setting table[] = {
    // application
    {"application", "name", 101, ValueKind::text, nullptr,
     "the application's name, for the Java side; default: the output file's name without \".exe\""},
    {"application", "main-class", 122, ValueKind::javaClass, nullptr,
     "the application's main class, dotted (\"com.example.Main\"); required"},
    {"application", "class-path", 121, ValueKind::classPath, nullptr,
     "class path entries, in order (below); the build tool adds qarvo-runtime.jar as build.runtime-jar says"},
    {"application", "arguments", 124, ValueKind::words, nullptr,
     "default arguments, given to the program before the user's"},
    {"application", "working-directory", 146, ValueKind::text, nullptr,
     "working directory, relative to the launcher's directory; unset: left as it is"},
    {"application", "type", 107, ValueKind::choice, "1",
     "\"gui\" (needs javaw.exe; errors in dialogs), \"console\" (errors on standard error), "
     "\"console-dialogs\" (java.exe, errors in dialogs), or a number",
     applicationTypes},
    {"application", "kind", 2001, ValueKind::choice, "e",
     "\"plain\" (calls com.qarvo.runtime.WinLauncher) or \"installer\" (the installer family's classes)",
     launcherKinds, 0, 1},
    {"application", "directory", 10003, ValueKind::text, nullptr,
     "the application directory, relative to the launcher's directory (location files, installer runtime archive)"},
    // runtime
    {"runtime", "search-sequence", 128, ValueKind::searchSequence, defaultSearchSequence,
     "where to look for a Java runtime, in order (below)"},
    {"runtime", "min-version", 126, ValueKind::version, nullptr,
     "lowest acceptable version, compared as text over its own length (\"1.8\" accepts 1.8.0_20, not 1.7)"},
    {"runtime", "max-version", 127, ValueKind::version, nullptr, "highest acceptable version, compared the same way"},
    {"runtime", "allow-beta", 130, ValueKind::flag, nullptr, "accept beta, early-access and release-candidate runtimes"},
    {"runtime", "require-jdk", 131, ValueKind::flag, nullptr, "accept only development kits (with lib\\tools.jar)"},
    {"runtime", "vm-type", 152, ValueKind::text, nullptr,
     "the bin subdirectory tried first for jvm.dll (\"client\", \"server\"); at most 199 characters",
     {}, 0, maxVmTypeBytes},
    {"runtime", "installation-id", 160, ValueKind::text, nullptr,
     "value name of an earlier installation in the installer family's registry key; unset: not looked up"},
    // vm
    {"vm", "options", 123, ValueKind::words, nullptr,
     "virtual machine options (launcher variables such as %QARVO_EXEDIR% are expanded)"},
    {"vm", "allow-dash-j", 125, ValueKind::flag, nullptr,
     "command-line arguments starting with \"-J\" are VM options, not program arguments"},
    {"vm", "library-path", 10004, ValueKind::pathList, nullptr,
     "native library directories put in front of PATH, relative to the launcher's directory"},
    // output
    {"output", "error-file", 103, ValueKind::redirectFile, nullptr,
     "standard error goes to this file (relative to the launcher's directory; \"$...\" names are resolved by "
     "the Java side)",
     {}, 102},
    {"output", "output-file", 105, ValueKind::redirectFile, nullptr, "standard output goes to this file, as above",
     {}, 104},
    {"output", "append", 106, ValueKind::flag, nullptr, "append to the redirection files instead of replacing them"},
    // single-instance
    {"single-instance", "enabled", 10005, ValueKind::flag, nullptr,
     "one running instance per launcher path; later starts hand their arguments to it"},
    {"single-instance", "global", 158, ValueKind::flag, nullptr,
     "the instance is machine-wide (\"Global\\\" semaphores) instead of per session"},
    // splash
    {"splash", "enabled", 108, ValueKind::flag, nullptr,
     "show a splash screen (set by splash.image; the image is stored as resource RT_RCDATA 10000)"},
    {"splash", "runtime-library", 10123, ValueKind::flag, nullptr,
     "show it through the runtime's splashscreen.dll (set by splash.image)"},
    // console
    {"console", "quiet-switches", 154, ValueKind::flag, nullptr, "the switches \"-q\" and \"-c\" are recognised"},
    {"console", "console-switch", 156, ValueKind::flag, nullptr, "the switch \"-console\" is recognised"},
    // messages
    {"messages", "caption", 1000, ValueKind::message, "Error", "caption of every error message box"},
    {"messages", "no-runtime", 1001, ValueKind::message,
     "No Java runtime was found.\nPlease define QARVO_JAVA_HOME to point to an installed JDK or JRE,\n"
     "or install a Java runtime.",
     "no runtime found (not shown by this launcher: no-runtime-found replaces it)"},
    {"messages", "path-runtime-damaged", 1002, ValueKind::message,
     "The JVM found in your path is damaged.\nPlease reinstall or define QARVO_JAVA_HOME\nto point to an installed "
     "JDK or JRE.",
     "not shown by this launcher"},
    {"messages", "variable-runtime-broken", 1003, ValueKind::message,
     "The {0} environment variable does not\npoint to a working JDK or JRE.",
     "not shown by this launcher (variable-runtime-broken-32 replaces it)"},
    {"messages", "runtime-damaged", 1004, ValueKind::message,
     "The JVM found at {0} is damaged.\nPlease reinstall or define QARVO_JAVA_HOME\nto point to an installed JDK "
     "or JRE.",
     "not shown by this launcher (location-runtime-broken-32 replaces it)"},
    {"messages", "vm-not-started", 1005, ValueKind::message,
     "The JVM could not be started. The maximum heap size (-Xmx) might be too large or an antivirus or firewall "
     "tool could block the execution.",
     "the virtual machine could not be created or main not called"},
    {"messages", "class-path-entry-missing", 1006, ValueKind::message, "File or directory {0} not found or empty\n",
     "a required class path entry is missing ({0}: the entry)"},
    {"messages", "wrong-parameter-usage", 1007, ValueKind::message, "Wrong Parameter Usage",
     "a quote without its closing partner on the command line"},
    {"messages", "variable-undefined", 1008, ValueKind::message, "The environment variable {0} has to be defined",
     "a required class path variable is not defined ({0}: its name)"},
    {"messages", "internal-error", 1009, ValueKind::message, "An internal error occurred (error code: {0})",
     "an internal failure ({0}: its code)"},
    {"messages", "main-class-not-loaded", 1010, ValueKind::message, "Couldn't load main class.",
     "the launcher class cannot be found"},
    {"messages", "main-method-not-found", 1011, ValueKind::message, "Main method not found.",
     "the launcher class has no main method"},
    {"messages", "error-title", 1012, ValueKind::message, "Error", "not shown by this launcher"},
    {"messages", "ok", 1013, ValueKind::message, "Ok", "not shown by this launcher"},
    {"messages", "startup-error", 1014, ValueKind::message, "An error occurred while starting up {0}:",
     "not shown by this launcher"},
    {"messages", "no-temp-directory", 1015, ValueKind::message, "You must be at least Poweruser to run this program.",
     "no usable system temporary directory"},
    {"messages", "no-runtime-found", 1016, ValueKind::message,
     "No suitable Java runtime was found.\nPlease define QARVO_JAVA_HOME to point to an installed {0}-bit JDK or "
     "JRE,\nor install a Java runtime.",
     "no acceptable runtime ({0}: \"32\" or \"64\")"},
    {"messages", "variable-runtime-broken-32", 1017, ValueKind::message,
     "The {0} environment variable does not\npoint to a working 32-bit JDK or JRE.",
     "the runtime named by an environment variable cannot be loaded, 32-bit launcher ({0}: the variable)"},
    {"messages", "variable-runtime-broken-64", 1018, ValueKind::message,
     "The {0} environment variable does not\npoint to a working 64-bit JDK or JRE.", "the same, 64-bit launcher"},
    {"messages", "location-runtime-broken-32", 1019, ValueKind::message, damagedRuntime32,
     "a runtime found at a location cannot be loaded, 32-bit launcher ({0}: the location)"},
    {"messages", "location-runtime-broken-64", 1020, ValueKind::message, damagedRuntime64, "the same, 64-bit launcher"},
};

const ResourceSetting resourceTable[] = {
    {"application", "icon", "RT_GROUP_ICON 1, RT_ICON 1...", "string (a .ico file)", nullptr,
     "the exe's icon: every image of the .ico file (relative to app.toml's directory)"},
    {"version", "file-version", "RT_VERSION 1", "string", nullptr,
     "one to four numbers from 0 to 65535 (\"1.2.3.4\"); any version.* name gives the exe version information"},
    {"version", "product-version", "RT_VERSION 1", "string", "version.file-version",
     "the product's version, written the same way"},
    {"version", "company", "RT_VERSION 1", "string", nullptr, "CompanyName"},
    {"version", "description", "RT_VERSION 1", "string", nullptr, "FileDescription"},
    {"version", "copyright", "RT_VERSION 1", "string", nullptr, "LegalCopyright"},
    {"version", "product-name", "RT_VERSION 1", "string", nullptr, "ProductName"},
    {"version", "original-file-name", "RT_VERSION 1", "string", nullptr,
     "OriginalFilename; default: the output's file name"},
    {"manifest", "execution-level", "RT_MANIFEST 1", "string", "asInvoker",
     "\"asInvoker\", \"highestAvailable\" or \"requireAdministrator\""},
    {"manifest", "dpi-awareness", "RT_MANIFEST 1", "string", "none",
     "\"none\" (Windows scales the windows), \"system\" or \"per-monitor-v2\""},
    {"manifest", "long-path-aware", "RT_MANIFEST 1", "boolean", "false",
     "paths longer than 260 characters, where Windows allows them"},
    {"manifest", "supported-os", "RT_MANIFEST 1", "array of strings", nullptr,
     "the systems the application declares: \"windows-vista\", \"windows-7\", \"windows-8\", \"windows-8.1\", "
     "\"windows-10\" (also 11)"},
    {"manifest", "common-controls", "RT_MANIFEST 1", "boolean", "true",
     "depend on Common-Controls 6.0.0.0 for the target's architecture (x86 or amd64)"},
    {"splash", "image", "RT_RCDATA 10000 (and 108, 10123)", "string (a GIF, PNG or JPEG file)", nullptr,
     "the splash image, shown through the runtime's splash library; sets splash.enabled and "
     "splash.runtime-library unless the file sets them"},
};

constexpr SearchKind searchKindTable[] = {
    {"bundled", 'B', true, "a runtime directory shipped with the application (relative: also accepted without "
                           "version check at the end)"},
    {"directory", 'A', true, "a runtime directory (relative: also accepted without version check at the end)"},
    {"runtime-directory", 'R', true, "the same as directory"},
    {"env", 'E', true, "the runtime home named by an environment variable"},
    {"path", 'S', false, "the java.exe found on the system search path"},
    {"installed", installedRuntimesLetter, false,
     "runtimes installed by today's vendors' installers (their registry keys and install directories)"},
    {"registry", 'Y', false, "runtimes registered under the JavaSoft registry keys"},
};

constexpr ClassPathKind classPathKindTable[] = {
    {"archive", 'A', "a jar or zip file"},
    {"directory", 'D', "a directory of classes"},
    {"scan", 'S', "every .jar, then every .zip file of a directory"},
    {"variable", 'E', "the value of an environment variable"},
};

const char* kindName(ValueKind kind) {
    switch (kind) {
        case ValueKind::text: return "string";
        case ValueKind::flag: return "boolean";
        case ValueKind::choice: return "string";
        case ValueKind::words: return "array of strings, or string";
        case ValueKind::pathList: return "array of strings";
        case ValueKind::classPath: return "array";
        case ValueKind::searchSequence: return "array of strings, or string";
        case ValueKind::version: return "string";
        case ValueKind::javaClass: return "string";
        case ValueKind::redirectFile: return "string";
        case ValueKind::message: return "string";
    }
    return "";
}

// A default as the reference shows it: one line, line feeds as "\n".
std::string shownDefault(const Setting& setting) {
    if (!setting.defaultValue) return "";
    std::string text;
    for (const Choice& choice : setting.choices) {
        if (std::string_view(choice.value) == setting.defaultValue) return std::string("`") + choice.name + "`";
    }
    for (const char* p = setting.defaultValue; *p; ++p) {
        if (*p == '\n') {
            text += "\\n";
        } else if (*p == '|') {
            text += "\\|";
        } else {
            text += *p;
        }
    }
    return "`" + text + "`";
}

}  // namespace

std::span<const Setting> settings() { return table; }

const Setting* findSetting(std::string_view tableName, std::string_view name) {
    for (const Setting& s : table) {
        if (tableName == s.table && name == s.name) return &s;
    }
    return nullptr;
}

const Setting* settingForKey(std::int32_t key) {
    for (const Setting& s : table) {
        if (s.key == key || (s.flagKey != 0 && s.flagKey == key)) return &s;
    }
    return nullptr;
}

std::span<const ResourceSetting> resourceSettings() { return resourceTable; }

const ResourceSetting* findResourceSetting(std::string_view tableName, std::string_view name) {
    for (const ResourceSetting& s : resourceTable) {
        if (tableName == s.table && name == s.name) return &s;
    }
    return nullptr;
}

bool isSettingsTable(std::string_view name) {
    for (const Setting& s : table) {
        if (name == s.table) return true;
    }
    for (const ResourceSetting& s : resourceTable) {
        if (name == s.table) return true;
    }
    return false;
}

std::span<const SearchKind> searchKinds() { return searchKindTable; }
std::span<const ClassPathKind> classPathKinds() { return classPathKindTable; }

std::string markdownReference() {
    std::string out = "| Name | Key | Type | Default | Meaning |\n|---|---|---|---|---|\n";
    for (const Setting& s : table) {
        std::string key = std::to_string(s.key);
        if (s.flagKey != 0) key += " (and " + std::to_string(s.flagKey) + ")";
        out += "| `" + s.fullName() + "` | " + key + " | " + kindName(s.kind) + " | " + shownDefault(s) + " | " +
               s.meaning + " |\n";
    }
    for (const ResourceSetting& s : resourceTable) {
        const std::string shown = s.defaultValue ? std::string("`") + s.defaultValue + "`" : "";
        out += "| `" + s.fullName() + "` | " + s.resource + " | " + s.type + " | " + shown + " | " + s.meaning + " |\n";
    }
    return out;
}

}  // namespace qarvo::builder
