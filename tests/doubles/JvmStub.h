// Internals of the stub jvm.dll, shared by its source files.
//
// The stub pretends to be a virtual machine: the launcher hands it options and
// calls JNI functions, and every call worth checking is appended as one line
// to jvm-stub-record.txt beside the DLL. What the "Java side" does (classes
// missing, main throwing or exiting, ...) comes from jvm-stub-script.txt.
//
// jclass, jstring, jobjectArray and jthrowable point to Ref records (a
// reference that can be deleted) which point to Object records (the object
// itself, never freed), so names and texts can be recorded and a reference
// used after DeleteLocalRef is caught.
#pragma once

#include <windows.h>

// The stub defines the JNI invocation functions: declare them dllexport.
#define _JNI_IMPLEMENTATION_
#include <jni.h>

#include <string>
#include <string_view>
#include <vector>

namespace jvmstub {

enum class FirstRun { True, False, Throws };

// What jvm-stub-script.txt asks for; the defaults are those of a missing file.
// One directive a line (UTF-8; blank lines and lines starting with '#' are
// skipped):
//   create-fails <code>       JNI_CreateJavaVM returns <code> (e.g. -1)
//   missing-class <a/b/C>     FindClass returns NULL with NoClassDefFoundError pending
//   missing-method <name>     GetStaticMethodID returns NULL with NoSuchMethodError pending
//   main-throws               after CallStaticVoidMethod an exception is pending whose
//                             ExceptionDescribe prints "stub exception in main"
//   main-exit <N>             CallStaticVoidMethod ends the process with ExitProcess(N)
//   main-wait-file <path>     CallStaticVoidMethod waits (50 ms polls, at most 120 s)
//                             until the file exists
//   main-serve <path>         CallStaticVoidMethod plays the Java side of a running
//                             single instance until the file exists (10 ms polls, at
//                             most 120 s): it takes every notification file that
//                             appears at qarvo.processCommFile, records its bytes and
//                             deletes it
//   main-window <normal|minimised>  CallStaticVoidMethod first shows a visible
//                             top-level window titled "jvm stub window" (minimised
//                             without being activated) and keeps its messages flowing
//                             while it serves or waits
//   firstrun <true|false|throws>  what CallStaticBooleanMethod does (default true;
//                             throws: pending exception "stub exception in firstrun")
//   record-only <prefix>      only lines that begin with <prefix> are recorded, and
//                             the lines of a loud failure (for the benchmarks, which
//                             would otherwise time the stub's own file appends)
struct Script {
  bool createFails = false;
  jint createResult = JNI_OK;
  std::vector<std::string> missingClasses;
  std::vector<std::string> missingMethods;
  bool mainThrows = false;
  bool mainExits = false;
  UINT mainExitCode = 0;
  std::string mainWaitFile;  // UTF-8; empty: no wait
  std::string mainServeUntil;  // UTF-8; empty: main does not serve notifications
  enum class Window { None, Normal, Minimised } mainWindow = Window::None;
  FirstRun firstRun = FirstRun::True;
  std::string recordOnly;  // empty: every line is recorded
};

// Reads jvm-stub-script.txt beside the DLL; an unknown or malformed directive
// ends the process through failLoudly.
Script loadScript();
// The script read by JNI_CreateJavaVM.
const Script& script();

// The value of the option "-D<name>=<value>" that JNI_CreateJavaVM received, in
// the ANSI code page; empty when there was none.
std::string propertyValue(std::string_view name);

// What main does for the single-instance tests (JvmStubFirstInstance.cpp):
// shows the scripted window, takes notification files until the stop file
// exists, and dispatches the window messages of the thread.
void showMainWindow(Script::Window window);
void serveNotifications(const std::string& stopFile);
void pumpMessages();

// The directory of the stub DLL, with a trailing backslash.
const std::wstring& stubDirectory();

// Appends one line to jvm-stub-record.txt. Line breaks and NUL characters
// inside `line` are written as \n, \r and \0 so that every event stays one line.
void record(std::string_view line);
// Records `line`, writes it to standard error and ends the process with 97.
[[noreturn]] void failLoudly(std::string_view line);
// failLoudly("UNEXPECTED <slot>"): for the slots the launcher has no business calling.
[[noreturn]] void unexpected(const char* slot);

enum class Kind { Class, String, Array, Throwable };

struct Object {
  Kind kind;
  std::string name;               // Class: class name; Array: element class; Throwable: message
  std::vector<jchar> chars;       // String: the UTF-16 text
  std::vector<Object*> elements;  // Array
};

// A new local reference to `object` (NULL for a null object).
jobject newRef(Object* object);
// The object behind a reference: nullptr for NULL; a reference that was never
// handed out or has been deleted ends the process. `slot` and `what` name the
// call and the argument for the message.
Object* objectOf(jobject ref, const char* slot, const char* what);
// As objectOf, but the object must exist and be of the given kind.
Object* requireObject(jobject ref, Kind kind, const char* slot, const char* what);
// Deletes a local reference; false when it was not live.
bool deleteRef(jobject ref);
// "string <text>", "class <name>", "array <class>[<n>]", "throwable <message>" or "null".
std::string describe(const Object* object);
// The UTF-8 text of a String object.
std::string textOf(const Object* object);
// The text of a String, "(null)" for null, otherwise describe(object).
std::string textOrDescription(const Object* object);

// The exception pending on the (single) thread, or nullptr.
Object* pendingException();
void setPendingException(Object* throwable);
// Records "WARNING <slot> called with an exception pending" when one is.
void warnIfPending(const char* slot);
// Ends the process when a JNI function is called before JNI_CreateJavaVM
// succeeded or after DestroyJavaVM.
void requireLiveVm(const char* slot);
// Both checks, for the functions a virtual machine forbids while an
// exception is pending.
void enterSlot(const char* slot);

// Makes a new Throwable with this message the pending exception.
void throwNew(std::string message);

// The parameter types of a method signature ("(I[Ljava/lang/String;)V" ->
// "I", "[Ljava/lang/String;") and its return type ("V"). False when malformed.
bool splitSignature(const std::string& signature, std::vector<std::string>& parameters,
                    std::string& result);
// A new method id, remembered so that calls can check the ids they get.
jmethodID newMethod(const std::string& className, const std::string& name,
                    const std::string& signature);

// Fill the JNIEnv slots the launcher uses (JvmStubEnv.cpp, JvmStubCalls.cpp)
// and all others (JvmStubUnexpected.cpp).
void fillUsedSlots(JNINativeInterface_& table);
void fillCallSlots(JNINativeInterface_& table);
void fillUnexpectedSlots(JNINativeInterface_& table);
void fillUnexpectedInvokeSlots(JNIInvokeInterface_& table);

// Holds the stub's lock (recursive) for the scope of a block.
struct Locked {
  Locked();
  ~Locked();
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
};

}  // namespace jvmstub

// Method ids are records of the stub; jni.h only declares the type.
struct _jmethodID {
  std::string className;
  std::string name;
  std::string signature;
};
