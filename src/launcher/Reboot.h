// The reboot mode: a copy of the launcher started with the tail "__mrv_reboot"
// only restarts Windows.
#pragma once

namespace qarvo {

// Waits five seconds (the process that asked for the restart ends meanwhile),
// enables the shutdown privilege on the NT family and asks Windows to
// restart. A refused privilege or restart is silent.
void rebootMachine();

}  // namespace qarvo
