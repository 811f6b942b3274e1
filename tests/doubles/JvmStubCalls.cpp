// Calls of static methods: CallStaticVoidMethod (the program's main) and
// CallStaticBooleanMethod (the first-run check), in their variadic, va_list
// (...V, what jni.h's C++ wrappers call) and jvalue array (...A) forms. All
// three forms record the same lines: "<slot without V/A> <method name>", then
// the arguments.
#include "JvmStub.h"

#include "DoubleSupport.h"

#include <cstdarg>
#include <cstdio>
#include <unordered_set>


using namespace doubles;

namespace jvmstub {

bool splitSignature(const std::string& signature, std::vector<std::string>& parameters,
                    std::string& result) {
  if (signature.empty() || signature[0] != '(') return false;
  size_t i = 1;
  parameters.clear();
  while (i < signature.size() && signature[i] != ')') {
    size_t start = i;
    while (i < signature.size() && signature[i] == '[') ++i;
    if (i >= signature.size()) return false;
    if (signature[i] == 'L') {
      i = signature.find(';', i);
      if (i == std::string::npos) return false;
    } else if (std::string_view("ZBCSIJFD").find(signature[i]) == std::string_view::npos) {
      return false;
    }
    parameters.push_back(signature.substr(start, ++i - start));
  }
  if (i >= signature.size()) return false;
  result = signature.substr(i + 1);
  return !result.empty();
}

namespace {

std::unordered_set<const _jmethodID*> methods;

using Values = std::vector<jvalue>;

void recordStringArray(jobject ref, const char* slot) {
  const Object* array = objectOf(ref, slot, "String[] argument");
  if (array == nullptr) {
    record("main args: null");
    return;
  }
  if (array->kind != Kind::Array) failLoudly(std::string("INVALID ") + slot + " String[] argument");
  for (size_t i = 0; i < array->elements.size(); ++i) {
    const Object* element = array->elements[i];
    record("main arg " + std::to_string(i) + ": " + textOrDescription(element));
  }
}

// Records the arguments: the elements of a String[] as "main arg <i>: <text>",
// any other argument as "arg <n>: <value>".
void recordArguments(const std::vector<std::string>& parameters, const Values& values,
                     const char* slot) {
  for (size_t n = 0; n < parameters.size(); ++n) {
    const std::string& type = parameters[n];
    const jvalue& value = values[n];
    std::string prefix = "arg " + std::to_string(n) + ": ";
    char number[64];
    switch (type[0]) {
      case 'L':
      case '[':
        if (type == "[Ljava/lang/String;")
          recordStringArray(value.l, slot);
        else
          record(prefix + textOrDescription(objectOf(value.l, slot, "argument")));
        break;
      case 'Z':
        record(prefix + std::to_string(int(value.z)));
        break;
      case 'B':
        record(prefix + std::to_string(int(value.b)));
        break;
      case 'C':
        record(prefix + std::to_string(int(value.c)));
        break;
      case 'S':
        record(prefix + std::to_string(int(value.s)));
        break;
      case 'I':
        record(prefix + std::to_string(value.i));
        break;
      case 'J':
        record(prefix + std::to_string(value.j));
        break;
      case 'F':
        std::snprintf(number, sizeof number, "%g", double(value.f));
        record(prefix + number);
        break;
      default:
        std::snprintf(number, sizeof number, "%g", value.d);
        record(prefix + number);
        break;
    }
  }
}

// Reads the arguments passed after the method id, as the signature says.
// jboolean, jbyte, jchar, jshort and jfloat arrive promoted to int and double.
Values readArguments(const std::vector<std::string>& parameters, va_list args) {
  Values values(parameters.size());
  for (size_t n = 0; n < parameters.size(); ++n) {
    jvalue& value = values[n];
    switch (parameters[n][0]) {
      case 'L':
      case '[':
        value.l = va_arg(args, jobject);
        break;
      case 'Z':
        value.z = jboolean(va_arg(args, int));
        break;
      case 'B':
        value.b = jbyte(va_arg(args, int));
        break;
      case 'C':
        value.c = jchar(va_arg(args, int));
        break;
      case 'S':
        value.s = jshort(va_arg(args, int));
        break;
      case 'I':
        value.i = va_arg(args, jint);
        break;
      case 'J':
        value.j = va_arg(args, jlong);
        break;
      case 'F':
        value.f = jfloat(va_arg(args, double));
        break;
      default:
        value.d = va_arg(args, double);
        break;
    }
  }
  return values;
}

Values copyArguments(const std::vector<std::string>& parameters, const jvalue* args,
                     const char* slot) {
  if (args == nullptr && !parameters.empty())
    failLoudly(std::string("INVALID ") + slot + " arguments: null");
  return Values(args, args + parameters.size());
}

// Checks and records a call; returns the method's parameter types.
// `returnType` is the signature letter the slot returns.
std::vector<std::string> beginCall(const char* slot, char returnType, jclass cls, jmethodID id) {
  {
    Locked lock;
    if (methods.count(id) == 0) failLoudly(std::string("INVALID ") + slot + " methodID");
  }
  record(std::string(slot) + " " + id->name);
  enterSlot(slot);
  const Object* type = requireObject(cls, Kind::Class, slot, "class");
  if (type->name != id->className)
    failLoudly(std::string("INVALID ") + slot + " class " + type->name + " for a method of " +
               id->className);
  std::vector<std::string> parameters;
  std::string result;
  splitSignature(id->signature, parameters, result);  // checked by GetStaticMethodID
  if (result != std::string(1, returnType))
    failLoudly(std::string("INVALID ") + slot + " for a method returning " + result);
  return parameters;
}

void waitForFile(const std::string& path) {
  record("main-wait-file waiting " + path);
  std::wstring wide = fromUtf8(path);
  for (int waited = 0; waited <= 120000; waited += 50) {
    pumpMessages();
    if (GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES) {
      record("main-wait-file appeared " + path);
      return;
    }
    Sleep(50);
  }
  record("main-wait-file timed-out " + path);
}

// What the scripted main method does once called.
void runMain(const std::vector<std::string>& parameters, const Values& values) {
  recordArguments(parameters, values, "CallStaticVoidMethod");
  const Script& s = script();
  if (s.mainWindow != Script::Window::None) showMainWindow(s.mainWindow);
  if (!s.mainServeUntil.empty()) serveNotifications(s.mainServeUntil);
  if (!s.mainWaitFile.empty()) waitForFile(s.mainWaitFile);
  if (s.mainExits) {
    record("ExitProcess " + std::to_string(s.mainExitCode));
    ExitProcess(s.mainExitCode);
  }
  if (s.mainThrows) throwNew("stub exception in main");
}

// What the scripted first-run check returns.
jboolean runFirstRun(const std::vector<std::string>& parameters, const Values& values) {
  recordArguments(parameters, values, "CallStaticBooleanMethod");
  switch (script().firstRun) {
    case FirstRun::True:
      return JNI_TRUE;
    case FirstRun::False:
      return JNI_FALSE;
    case FirstRun::Throws:
      throwNew("stub exception in firstrun");
      return JNI_FALSE;
  }
  return JNI_FALSE;
}

void JNICALL CallStaticVoidMethod(JNIEnv*, jclass cls, jmethodID id, ...) {
  auto parameters = beginCall("CallStaticVoidMethod", 'V', cls, id);
  va_list args;
  va_start(args, id);
  Values values = readArguments(parameters, args);
  va_end(args);
  runMain(parameters, values);
}

void JNICALL CallStaticVoidMethodV(JNIEnv*, jclass cls, jmethodID id, va_list args) {
  auto parameters = beginCall("CallStaticVoidMethod", 'V', cls, id);
  runMain(parameters, readArguments(parameters, args));
}

void JNICALL CallStaticVoidMethodA(JNIEnv*, jclass cls, jmethodID id, const jvalue* args) {
  auto parameters = beginCall("CallStaticVoidMethod", 'V', cls, id);
  runMain(parameters, copyArguments(parameters, args, "CallStaticVoidMethodA"));
}

jboolean JNICALL CallStaticBooleanMethod(JNIEnv*, jclass cls, jmethodID id, ...) {
  auto parameters = beginCall("CallStaticBooleanMethod", 'Z', cls, id);
  va_list args;
  va_start(args, id);
  Values values = readArguments(parameters, args);
  va_end(args);
  return runFirstRun(parameters, values);
}

jboolean JNICALL CallStaticBooleanMethodV(JNIEnv*, jclass cls, jmethodID id, va_list args) {
  auto parameters = beginCall("CallStaticBooleanMethod", 'Z', cls, id);
  return runFirstRun(parameters, readArguments(parameters, args));
}

jboolean JNICALL CallStaticBooleanMethodA(JNIEnv*, jclass cls, jmethodID id, const jvalue* args) {
  auto parameters = beginCall("CallStaticBooleanMethod", 'Z', cls, id);
  return runFirstRun(parameters, copyArguments(parameters, args, "CallStaticBooleanMethodA"));
}

}  // namespace

jmethodID newMethod(const std::string& className, const std::string& name,
                    const std::string& signature) {
  auto* method = new _jmethodID{className, name, signature};
  Locked lock;
  methods.insert(method);
  return method;
}

void fillCallSlots(JNINativeInterface_& t) {
  t.CallStaticVoidMethod = CallStaticVoidMethod;
  t.CallStaticVoidMethodV = CallStaticVoidMethodV;
  t.CallStaticVoidMethodA = CallStaticVoidMethodA;
  t.CallStaticBooleanMethod = CallStaticBooleanMethod;
  t.CallStaticBooleanMethodV = CallStaticBooleanMethodV;
  t.CallStaticBooleanMethodA = CallStaticBooleanMethodA;
}

}  // namespace jvmstub
