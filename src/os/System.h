// The one seam between the launcher's core and the operating system, by
// service. The launcher installs the Win32 implementations first thing
// (os/windows/WindowsSystem.h); native tests install the in-memory fake
// (os/testing/FakeSystem.h). Until something is installed, native builds see
// inert services: nothing exists, nothing starts, nothing is shown.
#pragma once

#include "os/CodePage.h"
#include "os/Console.h"
#include "os/Dialogs.h"
#include "os/Environment.h"
#include "os/Files.h"
#include "os/Libraries.h"
#include "os/Machine.h"
#include "os/OwnResources.h"
#include "os/Processes.h"
#include "os/Registry.h"
#include "os/Semaphores.h"
#include "os/TopLevelWindows.h"

namespace qarvo::os {

// One implementation of every service. The caller keeps ownership and keeps
// the objects alive while they are installed.
struct System {
    Files* files;
    Environment* environment;
    Registry* registry;
    Processes* processes;
    Libraries* libraries;
    Semaphores* semaphores;
    TopLevelWindows* windows;
    Dialogs* dialogs;
    OwnResources* resources;
    Console* console;
    Machine* machine;
    CodePage* codePage;
};

// What is installed until installSystem is called: the Win32 services in the
// Windows build, inert ones (os/InertSystem.cpp) in native builds.
extern const System defaultSystem;

// Replaces every service. A null member leaves the default implementation.
void installSystem(const System& system);
// Back to the default implementations (tests).
void uninstallSystem();

Files& files();
Environment& environment();
Registry& registry();
Processes& processes();
Libraries& libraries();
Semaphores& semaphores();
TopLevelWindows& windows();
Dialogs& dialogs();
OwnResources& resources();
Console& console();
Machine& machine();
CodePage& codePage();

}  // namespace qarvo::os
