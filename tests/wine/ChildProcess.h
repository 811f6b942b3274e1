// Starts Linux processes for the harness with their output in files: never a
// pipe, because Wine's service processes inherit the handles and keep a pipe
// open for as long as their server lives.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace qarvo::wine {

using Environment = std::map<std::string, std::string>;

struct ChildCommand {
    std::vector<std::string> argv;  // argv[0] is looked up in PATH
    Environment environment;        // the whole environment of the child
    std::filesystem::path workingDirectory;  // empty: the harness's own
    std::filesystem::path standardOutput;    // created or truncated; empty: /dev/null
    std::filesystem::path standardError;     // likewise
};

// The harness's own environment.
Environment currentEnvironment();

// Forks and executes; stdin is /dev/null. Returns the pid, or -1 with `error`.
pid_t spawnChild(const ChildCommand& command, std::string& error);
// Waits for a child: its exit status, or 128 + signal number.
int waitChild(pid_t pid);
// spawnChild and waitChild; -1 when the child could not be started.
int runChild(const ChildCommand& command, std::string& error);

// A pair of fresh output file names below the harness's run directory.
std::pair<std::filesystem::path, std::filesystem::path> outputFiles();

std::string readTextFile(const std::filesystem::path& path);
double monotonicSeconds();

}  // namespace qarvo::wine
