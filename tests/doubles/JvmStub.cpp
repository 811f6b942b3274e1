// The stub jvm.dll's state, record file, references and invocation interface.
#include "JvmStub.h"

#include "DoubleSupport.h"

#include <cstdio>
#include <cstring>
#include <unordered_set>

using namespace doubles;

namespace jvmstub {
namespace {

// The launcher may call in from more than one thread; one lock guards the
// state below and keeps record lines whole. Recursive, because failing loudly
// records while the lock may be held.
struct GlobalLock {
  CRITICAL_SECTION section;
  GlobalLock() { InitializeCriticalSection(&section); }
};
GlobalLock globalLock;

struct Ref {
  Object* object;
};

enum class VmState { NotCreated, Running, Destroyed };

Script currentScript;
std::vector<std::string> receivedOptions;  // optionString as given, ANSI
VmState vmState = VmState::NotCreated;
std::unordered_set<const Ref*> liveRefs;
Object* pending = nullptr;

JNINativeInterface_ nativeTable;
JNIEnv env;
JNIInvokeInterface_ invokeTable;
JavaVM vm;

std::string escapeLine(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (char c : line) {
    if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\0')
      out += "\\0";
    else
      out += c;
  }
  return out;
}

}  // namespace

Locked::Locked() { EnterCriticalSection(&globalLock.section); }
Locked::~Locked() { LeaveCriticalSection(&globalLock.section); }

const std::wstring& stubDirectory() {
  static const std::wstring directory = [] {
    HMODULE self = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&globalLock), &self);
    return directoryOf(modulePath(self));
  }();
  return directory;
}

void appendRecord(std::string_view line) {
  Locked lock;
  if (!appendLine(stubDirectory() + L"jvm-stub-record.txt", escapeLine(line)))
    writeStd(STD_ERROR_HANDLE, "jvm stub: cannot append to jvm-stub-record.txt\n");
}

void record(std::string_view line) {
  const std::string& only = currentScript.recordOnly;
  if (only.empty() || line.substr(0, only.size()) == only) appendRecord(line);
}

void failLoudly(std::string_view line) {
  appendRecord(line);
  writeStd(STD_ERROR_HANDLE, "jvm stub: " + escapeLine(line) + "\n");
  ExitProcess(97);
}

void unexpected(const char* slot) { failLoudly(std::string("UNEXPECTED ") + slot); }

const Script& script() { return currentScript; }

std::string propertyValue(std::string_view name) {
  const std::string prefix = "-D" + std::string(name) + "=";
  Locked lock;
  for (const std::string& option : receivedOptions)
    if (option.compare(0, prefix.size(), prefix) == 0) return option.substr(prefix.size());
  return {};
}

jobject newRef(Object* object) {
  if (object == nullptr) return nullptr;
  Locked lock;
  Ref* ref = new Ref{object};
  liveRefs.insert(ref);
  return reinterpret_cast<jobject>(ref);
}

Object* objectOf(jobject ref, const char* slot, const char* what) {
  if (ref == nullptr) return nullptr;
  Locked lock;
  const Ref* r = reinterpret_cast<const Ref*>(ref);
  if (liveRefs.count(r) == 0)
    failLoudly(std::string("INVALID ") + slot + " " + what + ": not a live reference");
  return r->object;
}

Object* requireObject(jobject ref, Kind kind, const char* slot, const char* what) {
  Object* object = objectOf(ref, slot, what);
  if (object == nullptr) failLoudly(std::string("INVALID ") + slot + " " + what + ": null");
  if (object->kind != kind)
    failLoudly(std::string("INVALID ") + slot + " " + what + ": " + describe(object));
  return object;
}

bool deleteRef(jobject ref) {
  Locked lock;
  // Deleted references stay allocated so that a later use is still caught.
  return liveRefs.erase(reinterpret_cast<const Ref*>(ref)) == 1;
}

std::string textOf(const Object* object) {
  std::wstring wide(object->chars.begin(), object->chars.end());
  return toUtf8(wide);
}

std::string textOrDescription(const Object* object) {
  if (object == nullptr) return "(null)";
  return object->kind == Kind::String ? textOf(object) : describe(object);
}

std::string describe(const Object* object) {
  if (object == nullptr) return "null";
  switch (object->kind) {
    case Kind::Class:
      return "class " + object->name;
    case Kind::String:
      return "string " + textOf(object);
    case Kind::Array:
      return "array " + object->name + "[" + std::to_string(object->elements.size()) + "]";
    case Kind::Throwable:
      return "throwable " + object->name;
  }
  return "?";
}

Object* pendingException() {
  Locked lock;
  return pending;
}

void setPendingException(Object* throwable) {
  Locked lock;
  pending = throwable;
}

void throwNew(std::string message) {
  setPendingException(new Object{Kind::Throwable, std::move(message), {}, {}});
}

void warnIfPending(const char* slot) {
  if (pendingException() != nullptr)
    record(std::string("WARNING ") + slot + " called with an exception pending");
}

void requireLiveVm(const char* slot) {
  Locked lock;
  if (vmState == VmState::NotCreated)
    failLoudly(std::string("INVALID ") + slot + " before JNI_CreateJavaVM");
  if (vmState == VmState::Destroyed)
    failLoudly(std::string("INVALID ") + slot + " after DestroyJavaVM");
}

void enterSlot(const char* slot) {
  requireLiveVm(slot);
  warnIfPending(slot);
}

namespace {

// Every function pointer of a table must be set; a slot left empty would
// crash the launcher instead of failing loudly. `first` skips the reserved
// entries at the start.
template <typename Table>
void checkFilled(const Table& table, size_t first, const char* name) {
  void* entries[sizeof(Table) / sizeof(void*)];
  static_assert(sizeof(Table) % sizeof(void*) == 0);
  std::memcpy(entries, &table, sizeof entries);
  for (size_t i = first; i < sizeof(Table) / sizeof(void*); ++i)
    if (entries[i] == nullptr)
      failLoudly(std::string("UNFILLED ") + name + " slot " + std::to_string(i));
}

jint JNICALL DestroyJavaVM(JavaVM*) {
  record("DestroyJavaVM");
  requireLiveVm("DestroyJavaVM");
  Locked lock;
  vmState = VmState::Destroyed;
  return JNI_OK;
}

jint JNICALL AttachCurrentThread(JavaVM*, void** penv, void* args) {
  record(std::string("AttachCurrentThread") + (args ? " args=non-null" : ""));
  requireLiveVm("AttachCurrentThread");
  *penv = &env;
  return JNI_OK;
}

jint JNICALL DetachCurrentThread(JavaVM*) {
  record("DetachCurrentThread");
  requireLiveVm("DetachCurrentThread");
  return JNI_OK;
}

jint JNICALL GetEnv(JavaVM*, void** penv, jint version) {
  char line[64];
  std::snprintf(line, sizeof line, "GetEnv version=0x%08lx", static_cast<unsigned long>(version));
  record(line);
  Locked lock;
  if (vmState != VmState::Running) {
    *penv = nullptr;
    return JNI_EDETACHED;
  }
  *penv = &env;
  return JNI_OK;
}

void buildTables() {
  std::memset(&nativeTable, 0, sizeof nativeTable);
  fillUsedSlots(nativeTable);
  fillCallSlots(nativeTable);
  fillUnexpectedSlots(nativeTable);
  checkFilled(nativeTable, 4, "JNIEnv");
  env.functions = &nativeTable;

  std::memset(&invokeTable, 0, sizeof invokeTable);
  invokeTable.DestroyJavaVM = DestroyJavaVM;
  invokeTable.AttachCurrentThread = AttachCurrentThread;
  invokeTable.DetachCurrentThread = DetachCurrentThread;
  invokeTable.GetEnv = GetEnv;
  fillUnexpectedInvokeSlots(invokeTable);
  checkFilled(invokeTable, 3, "JavaVM");
  vm.functions = &invokeTable;
}

void recordCreateArguments(const JavaVMInitArgs* args) {
  char line[128];
  std::snprintf(line, sizeof line,
                "JNI_CreateJavaVM version=0x%08lx nOptions=%ld ignoreUnrecognized=%d",
                static_cast<unsigned long>(args->version), static_cast<long>(args->nOptions),
                int(args->ignoreUnrecognized));
  record(line);
  if (args->nOptions > 0 && args->options == nullptr)
    failLoudly("INVALID JNI_CreateJavaVM options: null");
  for (jint i = 0; i < args->nOptions; ++i) {
    const JavaVMOption& option = args->options[i];
    if (option.optionString) receivedOptions.push_back(option.optionString);
    // A virtual machine reads option strings in the ANSI code page.
    std::string text = "option " + std::to_string(i) + ": " +
                       (option.optionString ? ansiToUtf8(option.optionString) : "(null)");
    if (option.extraInfo != nullptr) text += " extraInfo=non-null";
    record(text);
  }
}

jint createResult(jint result) {
  record("JNI_CreateJavaVM result=" + std::to_string(result));
  return result;
}

// The versions a current virtual machine accepts: 1.2 to 1.8, then one per
// Java release from 9 (0x00090000) on. 1.1 is refused, as real ones do.
bool supportedVersion(jint version) {
  switch (version) {
    case JNI_VERSION_1_2:
    case JNI_VERSION_1_4:
    case JNI_VERSION_1_6:
    case JNI_VERSION_1_8:
      return true;
    default:
      return version >= 0x00090000 && version <= 0x00400000 && (version & 0xffff) == 0;
  }
}

}  // namespace
}  // namespace jvmstub

using namespace jvmstub;

extern "C" {

JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** pvm, void** penv, void* vmArgs) {
  if (pvm == nullptr || penv == nullptr || vmArgs == nullptr)
    failLoudly("INVALID JNI_CreateJavaVM null argument");
  auto* args = static_cast<JavaVMInitArgs*>(vmArgs);
  // The script first: it can restrict what is recorded.
  currentScript = loadScript();
  recordCreateArguments(args);
  if (currentScript.createFails) return createResult(currentScript.createResult);
  if (vmState != VmState::NotCreated) return createResult(JNI_EEXIST);
  if (!supportedVersion(args->version)) return createResult(JNI_EVERSION);
  buildTables();
  vmState = VmState::Running;
  *pvm = &vm;
  *penv = &env;
  return createResult(JNI_OK);
}

JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void*) {
  unexpected("JNI_GetDefaultJavaVMInitArgs");
}

JNIEXPORT jint JNICALL JNI_GetCreatedJavaVMs(JavaVM**, jsize, jsize*) {
  unexpected("JNI_GetCreatedJavaVMs");
}

}  // extern "C"
