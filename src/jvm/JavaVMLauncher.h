// Creating the Java virtual machine and calling the Java-side launcher class.
#pragma once

#include "launcher/CommandLine.h"

namespace qarvo {

// Creates the virtual machine, calls WinLauncher.main and (with
// `destroyAfterMain`) waits for the Java program; false when the machine could
// not be created or main threw.
bool launchJavaVM(ArgumentList& arguments, bool destroyAfterMain);

}  // namespace qarvo
