#include "jre/LibraryLoading.h"

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "jre/RuntimeSystem.h"
#include "jvm/JvmEntry.h"
#include "os/Environment.h"
#include "payload/PathHelpers.h"
#include "report/Log.h"

namespace qarvo {

namespace {

bool endsWith(const std::string& text, const char* tail) {
    const std::string_view t(tail);
    return text.size() >= t.size() && text.compare(text.size() - t.size(), t.size(), t) == 0;
}

// Sets PATH in both environments; `value` null removes the variable (a PATH
// that was not set before is not set afterwards either).
void setPath(const std::string* value, const std::string& shown) {
    std::uint32_t error = 0;
    if (libraryLoader().setPath(value ? value->c_str() : nullptr, error)) {
        logLine("Setting PATH %s", shown.c_str());
    } else {
        logLine("Setting PATH %s failed with error %d", shown.c_str(), static_cast<int>(error));
    }
}

}  // namespace

void* loadJvmLibrary(const std::string& javaExe) {
    if (void* library = loadJvmFromBinDir(javaExe)) return library;
    const std::size_t name = endsWith(javaExe, "javaw.exe") ? 9 : 8;
    const std::string directory = javaExe.substr(0, javaExe.size() > name ? javaExe.size() - name : 0);
    return loadJvmFromBinDir(directory + "..\\jre\\bin\\java.exe");
}

void* loadJvmFromBinDir(const std::string& javaExe) {
    const std::size_t name = endsWith(javaExe, "javaw.exe") ? 10 : 9;
    const std::string binDirectory = javaExe.substr(0, javaExe.size() > name ? javaExe.size() - name : 0);

    std::string previous;
    const bool wasSet = environment().get("PATH", previous);
    const std::string extended = previous + ";" + binDirectory;
    setPath(&extended, extended);

    void* library = nullptr;
    const std::string preferred = getStringValue(key::preferredVmType, key::preferredVmTypeCapacity);
    if (!preferred.empty()) library = tryJvmLibrary(binDirectory, preferred);
    for (const char* type : jvmTypes) {
        if (library) break;
        library = tryJvmLibrary(binDirectory, type);
    }
    if (!library) setPath(wasSet ? &previous : nullptr, previous);
    return library;
}

void* tryJvmLibrary(const std::string& binDirectory, const std::string& type) {
    const std::string path = binDirectory + "\\" + type + "\\jvm.dll";
    const bool exists = fileExists(path);
    logLine("Trying %s (exists %d)", path.c_str(), exists ? 1 : 0);
    std::uint32_t error = 0;
    void* library = libraryLoader().load(path, error);
    if (exists && !library) logLine("Failed with error code %d", static_cast<int>(error));
    return library;
}

bool resolveCreateJavaVM(void* library) {
    if (!library) return false;
    void* entry = libraryLoader().symbol(library, "JNI_CreateJavaVM");
    if (!entry) return false;
    setCreateJavaVMEntry(entry);
    return true;
}

}  // namespace qarvo
