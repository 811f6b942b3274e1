// `qarvo build`: reads app.toml, checks everything, then writes the exe (and
// the runtime jar beside it) through temporary files renamed into place, so
// that a failure leaves nothing half-written.
#pragma once

#include <string>

#include "builder/HostSystem.h"

namespace qarvo::builder {

// The tool's exit codes.
enum ExitCode : int {
    exitBuilt = 0,
    exitConfigurationError = 1,
    exitUsage = 2,
    exitInputOutput = 3,
};

struct BuildRequest {
    std::string configurationFile;
    std::string output;      // -o; empty: build.output or <file's directory>/<file's name>.exe
    std::string target;      // --target; empty: build.target or "x86"
    std::string launcher;    // --launcher; empty: the installed generic launcher of the target
    std::string runtimeJar;  // --runtime-jar or the installed qarvo-runtime.jar; empty: none found
    // The generic launchers of the build tree the tool was built in, tried
    // after the installed ones; empty: none.
    std::string buildTreeLauncherX86, buildTreeLauncherX64;
};

// Runs a build; messages go to standard error through `host`. Returns an ExitCode.
int build(const BuildRequest& request, Host& host);

// The installed file `name` ("launcher-x86.exe", "qarvo-runtime.jar"):
// <tool dir>/../share/qarvo/<name>, <tool dir>/<name>, then the file of the
// build tree the tool was built in (`buildTreePath`). Empty when none exists.
std::string findInstalledFile(Host& host, const std::string& name, const std::string& buildTreePath);

}  // namespace qarvo::builder
