// Bringing the windows of another process to the front, so that the user sees
// the running instance when a later start hands over to it.
#pragma once

#include <cstdint>

namespace qarvo {

// Every visible top-level window of process `processId`, in the order the
// system enumerates them: restored first when `restore` is set and it is
// minimised, then made the foreground window, then its last active pop-up
// (an open dialog ends up in front of its window). The system may refuse to
// change the foreground window; nothing is reported. Process id 0 names no
// process: nothing is done.
void activateProcessWindows(std::uint32_t processId, bool restore);

}  // namespace qarvo
