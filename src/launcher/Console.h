// Giving the window-subsystem launcher a console.
#pragma once

namespace qarvo {

// Attaches the process to the console of its parent, or opens a new one: true
// when attaching worked, when the process has a console already (attaching
// then fails with access denied), or when a new console was created. The C
// runtime's streams are not reopened.
bool obtainConsole();

}  // namespace qarvo
