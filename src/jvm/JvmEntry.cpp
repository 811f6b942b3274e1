#include "jvm/JvmEntry.h"

namespace qarvo {

namespace {
void* createJavaVMEntry = nullptr;
}  // namespace

void setCreateJavaVMEntry(void* entry) { createJavaVMEntry = entry; }

}  // namespace qarvo
