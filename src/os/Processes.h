// The processes the launcher starts, each in exactly the way it needs it, and
// the end of its own process.
#pragma once

#include <cstdint>
#include <string>

namespace qarvo::os {

// How a probe run ended.
struct ProbeRun {
    bool started = false;
    std::uint32_t error = 0;     // system error code when not started
    bool timedOut = false;       // still running after the wait; it was terminated with code 1
    std::uint32_t exitCode = 0;  // the process's exit code (259 when it timed out)
};

class Processes {
public:
    virtual ~Processes() = default;

    // A runtime's "-version" run: `commandLine` without application name (its
    // first token names the program), window hidden, handles inherited, no
    // standard input or output and standard error written to
    // `standardErrorFile` (created anew through an inheritable handle). Waits
    // at most `timeoutMs` milliseconds and terminates it when it still runs.
    virtual ProbeRun runProbe(const std::string& commandLine, const std::string& standardErrorFile,
                              std::uint32_t timeoutMs) = 0;
    // The unpacker of a packed runtime: `program` as the application name and
    // `commandLine` as the whole command line, window hidden, handles inherited,
    // no redirection. `started` is called once it runs; then it is waited for
    // without a time limit and its handles are closed. False with the system
    // error when it could not be started.
    virtual bool runUnpacker(const std::string& program, const std::string& commandLine, void (*started)(),
                             std::uint32_t& error) = 0;
    // Explorer showing the log file: `commandLine` without application name,
    // start-up information zeroed except its size (not hidden), handles
    // inherited, not waited for. False with the system error when it could not
    // be started.
    virtual bool startExplorer(const std::string& commandLine, std::uint32_t& error) = 0;

    // GetCurrentProcessId.
    virtual std::uint32_t currentProcessId() = 0;
    // GetCommandLineW: the whole command line of this process.
    virtual std::u16string commandLineWide() = 0;
    // Ends the process at once (ExitProcess): no exit-time handlers run.
    [[noreturn]] virtual void exitProcess(int code) = 0;
    // Ends the process through the C runtime's exit(): its exit-time handlers
    // run first.
    [[noreturn]] virtual void exitThroughRuntime(int code) = 0;
};

}  // namespace qarvo::os
