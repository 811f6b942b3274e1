// Loading the chosen runtime's jvm.dll into the launcher's process and finding
// its JNI_CreateJavaVM.
#pragma once

#include <string>

namespace qarvo {

// The virtual-machine types tried after the preferred one (key 152), in order.
inline constexpr const char* jvmTypes[] = {"hotspot", "client", "server", "classic", "jrockit"};

// The jvm.dll of the runtime of `javaExe` (ending in "java.exe" or
// "javaw.exe"); when that fails, the one of "..\jre\bin" beside its bin
// directory, where a development kit keeps its own runtime. Null when none
// loads.
void* loadJvmLibrary(const std::string& javaExe);

// Tries the types below the bin directory of `javaExe` with that directory
// appended to PATH (in the system's environment and the C runtime's). PATH
// keeps it when a library loaded and is restored exactly otherwise.
void* loadJvmFromBinDir(const std::string& javaExe);

// Loads binDirectory\type\jvm.dll (also when it does not exist, logging so).
void* tryJvmLibrary(const std::string& binDirectory, const std::string& type);

// Looks up JNI_CreateJavaVM in `library` and hands it over for creating the
// virtual machine. False for no library or no such export; the library stays
// loaded.
bool resolveCreateJavaVM(void* library);

}  // namespace qarvo
