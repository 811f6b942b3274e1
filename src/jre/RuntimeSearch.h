// Finding and loading a Java runtime.
#pragma once

namespace qarvo {

// Finds an acceptable runtime, loads its jvm.dll and resolves JNI_CreateJavaVM.
// On failure shows one message (with `reportErrors`) and returns false.
bool LoadDLL(bool reportErrors);

}  // namespace qarvo
