#include "jre/LibraryLoading.h"

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "base/PathHelpers.h"
#include "jvm/JvmEntry.h"
#include "os/System.h"
#include "report/Log.h"

namespace qarvo {

namespace {

// Sets PATH in the operating system's environment and then, whatever that
// gave, in the C runtime's own table; `value` null removes the variable (a
// PATH that was not set before is not set afterwards either, and is logged as
// empty; "PATH=" removes it from the runtime's table).
void setPath(const std::string* value) {
    const char* shown = value ? value->c_str() : "";
    std::uint32_t error = 0;
    const bool set = os::environment().set("PATH", value ? value->c_str() : nullptr, error);
    os::environment().putRuntime(std::string("PATH=") + shown);
    if (set) {
        logLine("Setting PATH %s", shown);
    } else {
        logLine("Setting PATH %s failed with error %d", shown, static_cast<int>(error));
    }
}

}  // namespace

void* loadJvmLibrary(const std::string& javaExe) {
    if (void* library = loadJvmFromBinDir(javaExe)) return library;
    return loadJvmFromBinDir(javaExecutableDirectory(javaExe) + "..\\jre\\bin\\java.exe");
}

void* loadJvmFromBinDir(const std::string& javaExe) {
    // The directory without its trailing backslash.
    std::string binDirectory = javaExecutableDirectory(javaExe);
    if (!binDirectory.empty()) binDirectory.pop_back();

    std::string previous;
    const bool wasSet = os::environment().get("PATH", previous);
    const std::string extended = previous + ";" + binDirectory;
    setPath(&extended);

    void* library = nullptr;
    const std::string preferred = getStringValue(key::preferredVmType, key::preferredVmTypeCapacity);
    if (!preferred.empty()) library = tryJvmLibrary(binDirectory, preferred);
    for (const char* type : jvmTypes) {
        if (library) break;
        library = tryJvmLibrary(binDirectory, type);
    }
    if (!library) setPath(wasSet ? &previous : nullptr);
    return library;
}

void* tryJvmLibrary(const std::string& binDirectory, const std::string& type) {
    const std::string path = binDirectory + "\\" + type + "\\jvm.dll";
    const bool exists = fileExists(path);
    logLine("Trying %s (exists %d)", path.c_str(), exists ? 1 : 0);
    std::uint32_t error = 0;
    void* library = os::libraries().load(path, error);
    if (exists && !library) logLine("Failed with error code %d", static_cast<int>(error));
    return library;
}

bool resolveCreateJavaVM(void* library) {
    if (!library) return false;
    void* entry = os::libraries().resolve(library, "JNI_CreateJavaVM");
    if (!entry) return false;
    setCreateJavaVMEntry(entry);
    return true;
}

}  // namespace qarvo
