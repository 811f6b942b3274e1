// One running instance per launcher path.
#pragma once

namespace qarvo {

// Registers this process as the running instance, or hands its arguments to the
// running one and ends the process with exit code 0.
void runSingleInstanceCheck(bool honourConfiguration, bool notifyRunningInstance);

}  // namespace qarvo
