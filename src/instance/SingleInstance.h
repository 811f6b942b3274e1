// One running instance per launcher path.
#pragma once

namespace qarvo {

// Registers this process as the running instance, or hands its arguments to the
// running one and ends the process with exit code 0.
void runSingleInstanceCheck(bool honourConfiguration, bool notifyRunningInstance);

// Name of this instance's semaphore once the check has run; null before (and
// on a language restart, which skips the check).
const char* semaphoreName();

}  // namespace qarvo
