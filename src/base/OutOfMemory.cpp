#include "base/OutOfMemory.h"

#include <cstdlib>

namespace qarvo {

namespace {
OutOfMemoryHandler handler = nullptr;
}  // namespace

void setOutOfMemoryHandler(OutOfMemoryHandler h) { handler = h; }

void outOfMemory() {
    if (handler) handler();
    std::_Exit(1);
}

}  // namespace qarvo
