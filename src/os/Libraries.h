// Loading libraries into the launcher's process and the facts about its own
// module.
#pragma once

#include <cstdint>
#include <string>

namespace qarvo::os {

class Libraries {
public:
    virtual ~Libraries() = default;
    // LoadLibraryA with a full path or a bare name: the module, or null with
    // the system error. Loaded modules stay for the life of the process.
    virtual void* load(const std::string& pathOrName, std::uint32_t& error) = 0;
    // GetModuleHandleA of an already loaded module; null when it is not loaded.
    virtual void* moduleHandle(const char* name) = 0;
    // GetProcAddress: the export, or null.
    virtual void* resolve(void* module, const char* name) = 0;
    // The PE machine type of this process's own image (0x014C for x86): the
    // only kind of library it can load.
    virtual std::uint16_t processMachine() = 0;
    // GetModuleFileNameA and GetModuleFileNameW of the executable, into 8192
    // units; empty when the name does not fit.
    virtual std::string moduleFileName() = 0;
    virtual std::u16string moduleFileNameWide() = 0;
};

}  // namespace qarvo::os
