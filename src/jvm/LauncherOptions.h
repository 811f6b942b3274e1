// The launcher's own system properties, the first options the virtual machine
// receives.
#pragma once

#include <cstdint>

#include "vmargs/VmOptions.h"

namespace qarvo {

// What the properties need to know about the launcher process.
struct LauncherProcess {
    std::uint32_t processId = 0;              // GetCurrentProcessId
    std::uint32_t consoleOutputCodePage = 0;  // GetConsoleOutputCP
};

// Longest PATH that fits behind "-Djava.library.path=" in an 8192-byte
// buffer; a longer one gives the property an empty value.
constexpr std::size_t libraryPathCapacity = 8171;

// In this order, the conditional ones only when their condition holds:
//   qarvo.semaphoreName       when the single-instance step named a semaphore
//   qarvo.isMoravelin=true    for launchers of kind 'i'
//   qarvo.moduleName, sun.java.command   the launcher path
//   qarvo.processCommFile     when key 10005 is set: this process's notification file
//   qarvo.tempDir             the launcher temporary directory (may be empty)
//   qarvo.unextractedPosition -1 on a language restart, else the offset behind
//                             the included files
//   java.library.path         PATH
//   qarvo.consoleCodepage=cp<n>  unless MANPATH is set
// Values are never cut, except PATH as described above.
VmOptionList buildLauncherOptions(const LauncherProcess& process);

}  // namespace qarvo
