#include "os/windows/WindowsSystem.h"

#include "os/windows/Services.h"

namespace qarvo::os {

namespace {
win32::WindowsFiles files;
win32::WindowsEnvironment environment;
win32::WindowsRegistry registry;
win32::WindowsProcesses processes;
win32::WindowsLibraries libraries;
win32::WindowsSemaphores semaphores;
win32::WindowsTopLevelWindows windows;
win32::WindowsDialogs dialogs;
win32::WindowsResources resources;
win32::WindowsConsole console;
win32::WindowsMachine machine;
win32::WindowsCodePage codePage;

const System all = {&files,     &environment, &registry, &processes, &libraries, &semaphores,
                    &windows,   &dialogs,     &resources, &console,  &machine,   &codePage};
}  // namespace

void installWindowsSystem() { installSystem(all); }

const System& windowsSystem() { return all; }

}  // namespace qarvo::os
