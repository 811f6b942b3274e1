// Files of the application (installation) directory, key 10003, where the
// launcher family keeps its own files below ".moravelin".
#pragma once

#include <string>

namespace qarvo {

// The file `name` (".moravelin\firstrun", ...) in the application directory:
// key 10003 taken against the launcher directory (absolutePath, case kept), a
// backslash unless that already ends in one, then `name`.
std::string applicationDirectoryFile(const char* name);

}  // namespace qarvo
