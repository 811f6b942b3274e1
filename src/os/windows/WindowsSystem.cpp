#include "os/windows/WindowsSystem.h"

#include "os/windows/Services.h"

namespace qarvo::os {

namespace {
win32::WindowsFiles filesService;
win32::WindowsEnvironment environmentService;
win32::WindowsRegistry registryService;
win32::WindowsProcesses processesService;
win32::WindowsLibraries librariesService;
win32::WindowsSemaphores semaphoresService;
win32::WindowsTopLevelWindows windowsService;
win32::WindowsDialogs dialogsService;
win32::WindowsResources resourcesService;
win32::WindowsConsole consoleService;
win32::WindowsMachine machineService;
win32::WindowsCodePage codePageService;

}  // namespace

// In the Windows build the Win32 services are also what is there before
// anything is installed.
const System defaultSystem = {&filesService,   &environmentService, &registryService,  &processesService, &librariesService, &semaphoresService,
                              &windowsService, &dialogsService,     &resourcesService, &consoleService,   &machineService,   &codePageService};

void installWindowsSystem() { installSystem(defaultSystem); }

const System& windowsSystem() { return defaultSystem; }

}  // namespace qarvo::os
