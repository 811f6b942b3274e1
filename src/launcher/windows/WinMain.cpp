// The launcher's entry point: installs the Win32 system and runs the start-up
// sequence. The C runtime's start-up code installs its own unhandled-exception
// filter (processor faults become the runtime's signals); the launcher adds
// none.
#include <windows.h>

#include "launcher/CommandLineTail.h"
#include "launcher/LaunchSequence.h"
#include "os/windows/WindowsSystem.h"

// The tail is taken from the ANSI command line by the launcher's own rule, not
// from the C runtime's lpCmdLine: that one lets quotes group inside the program
// name and counts every control character as a blank.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    qarvo::os::installWindowsSystem();
    return qarvo::runLauncher(qarvo::commandLineTail(GetCommandLineA()),
                              reinterpret_cast<const char16_t*>(GetCommandLineW()), showCommand);
}
