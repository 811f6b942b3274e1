#pragma once

namespace qarvo {

// Waits five seconds, enables the shutdown privilege (NT family) and asks
// Windows to restart. Refusals are silent.
void rebootMachine();

// True on the NT family of Windows.
bool isWindowsNT();

}  // namespace qarvo
