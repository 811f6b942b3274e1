// The launcher's own executable file, opened for reading at explicit offsets.
#pragma once

#include <memory>

#include "config/ConfigBlockReader.h"

namespace qarvo {

// Opens launcherPath() for reading (sharing read and write); null when it
// cannot be opened.
std::unique_ptr<ByteSource> openOwnExecutable();

// Reads the configuration block once at start-up, reporting every failure
// (the process then ends with exit code 1), then applies the launcher-type rule.
void readConfiguration();

// Locale name of the user's default locale, null when the table has none.
const char* userLocaleName();

}  // namespace qarvo
