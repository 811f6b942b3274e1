// Creating the Java virtual machine in the launcher's own process, and the
// handles through which the launcher talks to it afterwards.
#pragma once

#include <jni.h>

#include "base/ArgumentList.h"
#include "vmargs/VmOptions.h"

namespace qarvo {

// The type of the runtime's JNI_CreateJavaVM export.
using CreateJavaVMFunction = jint(JNICALL*)(JavaVM** vm, void** env, void* initArguments);

// Every option of the virtual machine, in the order it receives them: the
// launcher options, the words of key 123, the "-J" arguments, the lines of
// the default ".vmoptions" file (included files in place) and the class path
// option last.
VmOptionList collectVmOptions(const VmOptionList& launcherOptions, const ArgumentList& arguments);

// Collects the options, logs them and calls the recorded JNI_CreateJavaVM
// (JNI 1.2, unrecognised options ignored). True when it returned JNI_OK.
bool createJavaVM(const VmOptionList& launcherOptions, const ArgumentList& arguments);

// The created virtual machine and the main thread's environment; null before.
JavaVM* javaVM();
JNIEnv* jniEnv();

// Forgets the virtual machine (tests only: a process creates one).
void resetJavaVMForTesting();

}  // namespace qarvo
