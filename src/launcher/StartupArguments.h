// The first start-up step that needs the command line: the log switch, the
// configuration block, the launcher kind, the working directory, the log
// question.
#pragma once

#include "base/ArgumentList.h"

namespace qarvo {

// Removes the log-creation switch when it is element 1 (only there) and
// remembers that it was given. True when it was removed.
bool removeLogSwitch(ArgumentList& list);

// Sets the launcher kind from the first character of key 2001 (read into a
// two-byte buffer).
void selectLauncherKind();

// The whole step: removes the log switch, reads the configuration, selects the
// launcher kind, changes the working directory to key 146 (taken against the
// launcher directory; not on a language restart) and, when the log switch was
// given, asks whether Explorer should show the log.
void processStartupArguments(ArgumentList& list);

}  // namespace qarvo
