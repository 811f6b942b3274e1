// The launcher's entry point: installs the Win32 system and runs the start-up
// sequence. The C runtime's start-up code installs its own unhandled-exception
// filter (processor faults become the runtime's signals); the launcher adds
// none.
#include <windows.h>

#include "launcher/LaunchSequence.h"
#include "os/windows/WindowsSystem.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLineTail, int showCommand) {
    qarvo::os::installWindowsSystem();
    return qarvo::runLauncher(commandLineTail, reinterpret_cast<const char16_t*>(GetCommandLineW()), showCommand);
}
