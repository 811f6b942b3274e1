// In-memory registry, runtime files, probe runs and library loading for native
// tests of the runtime search, and a fixture that installs them with the
// shared fakes.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "image/PeLayout.h"
#include "jre/Registry.h"
#include "jre/RuntimeSystem.h"
#include "os/testing/Fakes.h"

namespace qarvo::testing {

// Keys compared without regard to case; subkeys enumerate in name order.
class FakeRegistry final : public Registry {
public:
    bool readValue(Hive hive, const std::string& subkey, const std::string& name, std::size_t capacity,
                   std::string& data) override;
    bool subkeyNames(Hive hive, const std::string& subkey, std::size_t limit,
                     std::vector<std::string>& names) override;
    bool writeValue(Hive hive, const std::string& subkey, const std::string& name, ValueType type,
                    const std::string& data) override;

    void setString(Hive hive, const std::string& subkey, const std::string& name, const std::string& value) {
        writeValue(hive, subkey, name, ValueType::string, value);
    }
    void addKey(Hive hive, const std::string& subkey);
    // The stored value, or nothing.
    const std::string* value(Hive hive, const std::string& subkey, const std::string& name) const;

    int reads = 0;  // readValue calls
    int writes = 0;

private:
    struct Key {
        std::string name;  // last component as created
        std::map<std::string, std::string> values;
    };
    static std::string canonical(Hive hive, const std::string& subkey);
    std::map<std::string, Key> keys_;
};

// File contents beside the fake file system's entries; a file written here
// exists there too.
class FakeRuntimeFiles final : public RuntimeFiles {
public:
    explicit FakeRuntimeFiles(FakeFileSystem& fs) : fs_(fs) {}
    bool readFile(const std::string& path, std::uint64_t offset, std::size_t maxBytes, std::string& bytes) override;
    bool deleteFile(const std::string& path) override;
    bool shortPathName(const std::string& path, std::string& shortPath) override;
    bool searchPath(const std::string& fileName, std::string& found) override;

    void write(const std::string& path, const std::string& bytes, FileTime time = {});
    std::map<std::string, std::string> contents;  // by FakeFileSystem::key
    std::map<std::string, std::string> shortNames;  // by key; absent: no short name
    std::string searchPathResult;                   // empty: not found
    std::vector<std::string> deleted;

private:
    FakeFileSystem& fs_;
};

// Runs scripted by program path: the standard error text is written to the
// output file.
class FakeProbeProcess final : public ProbeProcess {
public:
    struct Script {
        std::string standardError;
        std::uint32_t exitCode = 0;
        bool timesOut = false;
    };
    explicit FakeProbeProcess(FakeRuntimeFiles& files) : files_(files) {}
    ProbeRun run(const std::string& commandLine, const std::string& standardErrorFile,
                 std::uint32_t timeoutMs) override;

    std::map<std::string, Script> scripts;  // by FakeFileSystem::key of the program
    std::vector<std::string> commandLines;
    std::uint32_t lastTimeout = 0;

private:
    FakeRuntimeFiles& files_;
};

class FakeLibraryLoader final : public LibraryLoader {
public:
    struct Module {
        std::uint32_t loadError = 0;  // non-zero: loading fails with it
        bool exportsCreate = true;
    };
    struct Load {
        std::string path;
        std::string pathVariable;  // PATH while it was loaded ("<unset>" when unset)
    };
    explicit FakeLibraryLoader(FakeEnvironment& env) : env_(env) {}
    void* load(const std::string& path, std::uint32_t& error) override;
    void* symbol(void* module, const char* name) override;
    bool setPath(const char* value, std::uint32_t& error) override;
    std::uint16_t processMachine() override { return pe::machineI386; }

    std::map<std::string, Module> modules;  // by FakeFileSystem::key
    std::vector<Load> loads;
    std::vector<std::string> runtimePath;  // every assignment handed to the C runtime
    bool failSetPath = false;

private:
    FakeEnvironment& env_;
};

// Every fake of the system installed, with C:\ and C:\Temp present, and
// helpers that lay out runtimes.
class RuntimeFixture {
public:
    RuntimeFixture();
    ~RuntimeFixture();
    RuntimeFixture(const RuntimeFixture&) = delete;
    RuntimeFixture& operator=(const RuntimeFixture&) = delete;

    // A java executable of `machine` type whose "-version" prints `output`.
    void addJavaExe(const std::string& path, const std::string& output, std::uint16_t machine = pe::machineI386,
                    FileTime time = {1, 0});
    // bin\java.exe and bin\javaw.exe of version `version` and the jvm.dll of
    // `type`; returns the java.exe path.
    std::string addRuntime(const std::string& home, const std::string& version, const std::string& type = "client");
    void addJvmDll(const std::string& path, std::uint32_t loadError = 0);
    void setKey(std::int32_t key, const std::string& value);
    // Log lines that begin with one of `prefixes`.
    std::vector<std::string> logLinesStartingWith(std::initializer_list<const char*> prefixes) const;

    FakeSystem system;
    FakeRegistry registry;
    FakeRuntimeFiles files{system.files};
    FakeProbeProcess process{files};
    FakeLibraryLoader loader{system.environment};
};

// The first bytes of a PE file of `machine` type, as far as the probe reads.
std::string peHeader(std::uint16_t machine);

}  // namespace qarvo::testing
