// What the launcher does when an allocation it cannot do without fails. The
// launcher's allocation functions call outOfMemory(); error reporting installs
// the handler that tells the user.
#pragma once

namespace qarvo {

// Reports the failure and ends the process; it should not return.
using OutOfMemoryHandler = void (*)();
void setOutOfMemoryHandler(OutOfMemoryHandler handler);

// Runs the installed handler; without one, or should it return, ends the
// process with exit code 1 at once.
[[noreturn]] void outOfMemory();

}  // namespace qarvo
