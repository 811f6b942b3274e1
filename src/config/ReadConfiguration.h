// Reading the configuration block from the launcher's own executable, once, at
// start-up.
#pragma once

#include <memory>

#include "os/Files.h"

namespace qarvo {

// Opens launcherPath() for reading (sharing read and write); null when it
// cannot be opened.
std::unique_ptr<os::ReadableFile> openOwnExecutable();

// openOwnExecutable, ending the process when the file cannot be opened: the
// error line "Could not open <path>" and the message that asks for an
// ASCII-only path.
std::unique_ptr<os::ReadableFile> openOwnExecutableOrFail();

// Locale name of the user's default locale, null when the table has none.
const char* userLocaleName();

// Reads the block into the configuration, reporting every failure (the
// process then ends with exit code 1), then applies the launcher-type rule.
// The entries read before a failure stay, so that the caption of key 1000 is
// there for the message.
void readConfiguration();

// The launcher-type rule: an application type (key 107) other than 1 and 5
// sends messages to standard error from now on.
void applyLauncherTypeRule();

}  // namespace qarvo
