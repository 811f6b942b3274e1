// Creating the Java virtual machine and calling the Java-side launcher class.
#pragma once

#include "jvm/LauncherOptions.h"
#include "base/ArgumentList.h"

namespace qarvo {

// Builds the launcher options, creates the virtual machine, calls
// WinLauncher.main and, with `destroyAfterMain`, waits in DestroyJavaVM until
// the Java program's non-daemon threads have ended. False when the machine
// could not be created or main threw (the machine is then left as it is).
bool launchJavaVM(const ArgumentList& arguments, bool destroyAfterMain, const LauncherProcess& process);

// The same for this process: its id and console code page from the system.
bool launchJavaVM(const ArgumentList& arguments, bool destroyAfterMain);

}  // namespace qarvo
