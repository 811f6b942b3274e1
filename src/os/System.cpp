#include "os/System.h"

namespace qarvo::os {

namespace {

// What installSystem was given; a null member stands for the default.
System installed = {};

template <typename Service>
Service& chosen(Service* given, Service* fallback) {
    return *(given ? given : fallback);
}

}  // namespace

void installSystem(const System& system) { installed = system; }

void uninstallSystem() { installed = {}; }

Files& files() { return chosen(installed.files, defaultSystem.files); }
Environment& environment() { return chosen(installed.environment, defaultSystem.environment); }
Registry& registry() { return chosen(installed.registry, defaultSystem.registry); }
Processes& processes() { return chosen(installed.processes, defaultSystem.processes); }
Libraries& libraries() { return chosen(installed.libraries, defaultSystem.libraries); }
Semaphores& semaphores() { return chosen(installed.semaphores, defaultSystem.semaphores); }
TopLevelWindows& windows() { return chosen(installed.windows, defaultSystem.windows); }
Dialogs& dialogs() { return chosen(installed.dialogs, defaultSystem.dialogs); }
OwnResources& resources() { return chosen(installed.resources, defaultSystem.resources); }
Console& console() { return chosen(installed.console, defaultSystem.console); }
Machine& machine() { return chosen(installed.machine, defaultSystem.machine); }
CodePage& codePage() { return chosen(installed.codePage, defaultSystem.codePage); }

}  // namespace qarvo::os
