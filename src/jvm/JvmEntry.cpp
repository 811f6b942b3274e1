#include "jvm/JvmEntry.h"

namespace qarvo {

namespace {
void* entryPoint = nullptr;
}  // namespace

void setCreateJavaVMEntry(void* entry) { entryPoint = entry; }

void* createJavaVMEntry() { return entryPoint; }

}  // namespace qarvo
