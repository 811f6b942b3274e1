// The launcher's entry point: installs the Win32 system and runs the start-up
// sequence.
//
// The launcher brings its own entry instead of the C runtime's start-up code.
// msvcrt.dll initialises itself when it is loaded, and the launcher needs
// nothing else that code does: it reads its command line itself (no argv, no
// wildcard expansion), has no thread-local data, no pseudo-relocations and
// installs no fault filter (processor faults take the system's default path;
// the filter only turned them into C signals, which the launcher never sets).
// What is left is running the constructors of namespace-scope objects and
// ending through exit(), so that the C runtime flushes its streams and runs
// its exit-time handlers. Leaving the rest out keeps several KiB of code and
// its calls out of every start.
#include <windows.h>

#include <cstdlib>

#include "launcher/CommandLineTail.h"
#include "launcher/LaunchSequence.h"
#include "os/windows/WindowsSystem.h"

extern "C" {
// libgcc's start of C++: runs the constructors listed in the image, once.
void __main();
// Tells msvcrt.dll that its run-time errors go to a message box.
void __cdecl __set_app_type(int);
}

// Registers an exit-time handler with msvcrt.dll, which runs it in exit().
// The start-up code that is left out used to provide it; __main registers the
// destructors of namespace-scope objects with it.
extern "C" int __cdecl atexit(void(__cdecl* handler)(void)) {
    return _onexit(reinterpret_cast<_onexit_t>(handler)) ? 0 : -1;
}

namespace {
constexpr int guiApplication = 2;  // _GUI_APP

// What the system asks the first window to do (STARTUPINFO), as WinMain's
// nCmdShow has it.
int showCommandOfStartup() {
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
}
}  // namespace

// The entry the linker looks for in a window-subsystem program; nothing in
// the program calls it, so the link-time optimisation must be told to keep it.
// The 32-bit system calls it with a stack aligned to 4 bytes only; the code
// assumes 16.
extern "C" __attribute__((used, externally_visible))
#ifdef __i386__
__attribute__((force_align_arg_pointer))
#endif
[[noreturn]] void WinMainCRTStartup() {
    __set_app_type(guiApplication);
    __main();
    qarvo::os::installWindowsSystem();
    // The tail is taken from the ANSI command line by the launcher's own rule,
    // not from the C runtime's lpCmdLine: that one lets quotes group inside
    // the program name and counts every control character as a blank.
    std::exit(qarvo::runLauncher(qarvo::commandLineTail(GetCommandLineA()),
                                 reinterpret_cast<const char16_t*>(GetCommandLineW()),
                                 showCommandOfStartup()));
}
