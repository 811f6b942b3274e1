// What a build writes, as the configuration file describes it: checked,
// with every path resolved, before anything is written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/ApplicationResources.h"
#include "image/ConfigBlock.h"

namespace qarvo::builder {

// Where qarvo-runtime.jar (com.qarvo.runtime.WinLauncher) goes.
enum class RuntimeJarPlacement {
    beside,    // copied beside the output exe, first entry of the class path
    included,  // an included file, extracted with the others (extracted archives join the class path)
    none,      // the configuration's class path reaches it by itself
};

// The included file that carries the runtime jar, and the name of the copy beside the exe.
constexpr const char* runtimeJarName = "qarvo-runtime.jar";

struct IncludedFile {
    std::string source;       // host path
    std::string name;         // as stored in key 2003: Windows-1252, "\" as separator
    std::uint64_t size = 0;   // bytes, as found while checking
};

// A position in the configuration file, for messages.
struct Position {
    int line = 0;
    int column = 0;
};

struct Diagnostic {
    std::string file;
    Position position;
    std::string message;
    // "app.toml:3:14: message" (without a position when it has none).
    std::string text() const;
};

struct BuildPlan {
    std::string configurationFile;       // as given
    std::string output;                  // host path of the exe to write
    std::string target = "x86";          // "x86" or "x64"
    RuntimeJarPlacement runtimeJar = RuntimeJarPlacement::beside;
    std::string runtimeJarSource;        // host path of qarvo-runtime.jar; empty for none
    std::string runtimeJarCopy;          // host path of the copy beside the exe; empty unless beside
    // The block, with keys 2002 and 2003 set from includedFiles; its opaque
    // header word is left to the writer.
    ConfigBlockContent block;
    std::vector<IncludedFile> includedFiles;  // in section order (the runtime jar first when included)
    // Icon, version information, manifest (its architecture the target's) and splash image.
    ApplicationResources resources;
    std::vector<std::string> resourceSources;  // host paths of the files read for them (icon, splash image)
};

}  // namespace qarvo::builder
