// The first start-up step that needs the command line: the log switch, the
// configuration block, the launcher kind, the working directory, the log
// question.
#pragma once

#include "launcher/CommandLine.h"

namespace qarvo {

// Removes the log-creation switch when it is element 1 (only there) and
// remembers that it was given. True when it was removed.
bool removeLogSwitch(ArgumentList& list);

// Sets the launcher kind from key 2001: 'e' is the qarvo kind, every other
// value (the build tool writes 'i', an absent key gives none) the moravelin kind.
void selectLauncherKind();
// First character of key 2001, '\0' when absent.
char launcherKind();
// "qarvo" for kind 'e', else "moravelin".
const char* builderName();

// Console launcher types (key 107 other than 1 and 5) report errors on
// standard error.
void applyLauncherTypeRule();

// The whole step, run by the entry point (Windows side).
void processStartupArguments(ArgumentList& list);

}  // namespace qarvo
