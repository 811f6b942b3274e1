// The runtime's JNI_CreateJavaVM, handed over once the runtime library is
// loaded, for creating the virtual machine later in the start.
#pragma once

namespace qarvo {

// Records the address of the loaded runtime's JNI_CreateJavaVM export.
void setCreateJavaVMEntry(void* entry);

// The recorded address; null until a runtime library was loaded.
void* createJavaVMEntry();

}  // namespace qarvo
