#include "instance/SingleInstance.h"

namespace qarvo {

// Single-instance mode is not available yet: every start goes on.
void runSingleInstanceCheck(bool, bool) {}

const char* semaphoreName() { return nullptr; }

}  // namespace qarvo
