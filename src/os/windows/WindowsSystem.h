// The one place that installs the Win32 implementation of every service.
#pragma once

#include "os/System.h"

namespace qarvo::os {

// Installs them all (process-wide objects that live until the process ends).
// The launcher calls this first; test programs and benchmarks built from its
// code call it too and may then replace single services with installSystem.
void installWindowsSystem();

// The installed Win32 services, for test programs that wrap one of them.
const System& windowsSystem();

}  // namespace qarvo::os
