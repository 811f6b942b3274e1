// What the runtime search needs from the system beyond the file queries, the
// environment and the registry: reading and deleting files, short names and
// the executable search path, running a runtime's "-version", and loading its
// jvm.dll. The launcher installs the Windows implementations at start; native
// tests install fakes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qarvo {

class RuntimeFiles {
public:
    virtual ~RuntimeFiles() = default;
    // Up to `maxBytes` bytes of the file from `offset` on (fewer at its end).
    // False when the file cannot be opened or read.
    virtual bool readFile(const std::string& path, std::uint64_t offset, std::size_t maxBytes,
                          std::string& bytes) = 0;
    // DeleteFileA.
    virtual bool deleteFile(const std::string& path) = 0;
    // GetShortPathNameA: the 8.3 form of an existing path. False on failure.
    virtual bool shortPathName(const std::string& path, std::string& shortPath) = 0;
    // SearchPathA with the system's search order for executables. False when
    // `fileName` is not found.
    virtual bool searchPath(const std::string& fileName, std::string& found) = 0;
};

// How a probe run ended.
struct ProbeRun {
    bool started = false;
    std::uint32_t error = 0;     // system error code when not started
    bool timedOut = false;       // still running after the wait; it was terminated with code 1
    std::uint32_t exitCode = 0;  // the process's exit code (259 when it timed out)
};

class ProbeProcess {
public:
    virtual ~ProbeProcess() = default;
    // Runs `commandLine` (its first token names the program) with a hidden
    // window, no standard input or output and standard error written to
    // `standardErrorFile` (created anew through an inheritable handle); waits
    // at most `timeoutMs` milliseconds and terminates it when it still runs.
    virtual ProbeRun run(const std::string& commandLine, const std::string& standardErrorFile,
                         std::uint32_t timeoutMs) = 0;
};

class LibraryLoader {
public:
    virtual ~LibraryLoader() = default;
    // LoadLibraryA: the module or null with `error` set.
    virtual void* load(const std::string& path, std::uint32_t& error) = 0;
    // GetProcAddress: the export or null.
    virtual void* symbol(void* module, const char* name) = 0;
    // Sets PATH (null: removes it) in the operating system's environment of
    // the process and then, whatever that gave, in the C runtime's own table
    // (_putenv), which the runtime keeps apart. False with `error` set when the
    // first update failed.
    virtual bool setPath(const char* value, std::uint32_t& error) = 0;
    // The PE machine type of this process's modules (0x014C for x86): the only
    // kind of runtime it can load.
    virtual std::uint16_t processMachine() = 0;
};

// The installed implementations (until installed: ones that find, run and load
// nothing). The caller keeps ownership.
RuntimeFiles& runtimeFiles();
ProbeProcess& probeProcess();
LibraryLoader& libraryLoader();
void installRuntimeFiles(RuntimeFiles& files);
void installProbeProcess(ProbeProcess& process);
void installLibraryLoader(LibraryLoader& loader);
// Back to the implementations that find, run and load nothing (tests only).
void resetRuntimeSystemForTesting();

}  // namespace qarvo
