// The JNIEnv functions the launcher uses, apart from the calls of static
// methods (JvmStubCalls.cpp): each records its call and behaves like a
// virtual machine running the scripted Java side.
#include "JvmStub.h"

#include "DoubleSupport.h"

#include <algorithm>
#include <unordered_set>


using namespace doubles;

namespace jvmstub {
namespace {

std::unordered_set<const jchar*> stringCopies;

bool contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

jint JNICALL GetVersion(JNIEnv*) {
  record("GetVersion");
  requireLiveVm("GetVersion");
  return JNI_VERSION_1_8;
}

jclass JNICALL FindClass(JNIEnv*, const char* name) {
  if (name == nullptr) failLoudly("INVALID FindClass name: null");
  record(std::string("FindClass ") + name);
  enterSlot("FindClass");
  // A virtual machine wants slashes: "com.x.Main" is not found either.
  if (contains(script().missingClasses, name) ||
      std::string_view(name).find('.') != std::string_view::npos) {
    throwNew(std::string("java.lang.NoClassDefFoundError: ") + name);
    return nullptr;
  }
  return static_cast<jclass>(newRef(new Object{Kind::Class, name, {}, {}}));
}

jmethodID JNICALL GetStaticMethodID(JNIEnv*, jclass cls, const char* name, const char* sig) {
  if (name == nullptr || sig == nullptr)
    failLoudly("INVALID GetStaticMethodID name or signature: null");
  record(std::string("GetStaticMethodID ") + name + " " + sig);
  enterSlot("GetStaticMethodID");
  const Object* type = requireObject(cls, Kind::Class, "GetStaticMethodID", "class");
  std::vector<std::string> parameters;
  std::string result;
  if (contains(script().missingMethods, name) || !splitSignature(sig, parameters, result)) {
    throwNew(std::string("java.lang.NoSuchMethodError: ") + name);
    return nullptr;
  }
  return newMethod(type->name, name, sig);
}

jobjectArray JNICALL NewObjectArray(JNIEnv*, jsize length, jclass elementClass, jobject init) {
  const Object* type = requireObject(elementClass, Kind::Class, "NewObjectArray", "element class");
  record("NewObjectArray " + std::to_string(length) + " " + type->name);
  enterSlot("NewObjectArray");
  if (length < 0) failLoudly("INVALID NewObjectArray length " + std::to_string(length));
  Object* initial = objectOf(init, "NewObjectArray", "initial element");
  auto* array = new Object{Kind::Array, type->name, {}, {}};
  array->elements.assign(size_t(length), initial);
  return static_cast<jobjectArray>(newRef(array));
}

jstring JNICALL NewString(JNIEnv*, const jchar* chars, jsize length) {
  if (length < 0 || (chars == nullptr && length > 0))
    failLoudly("INVALID NewString length " + std::to_string(length));
  auto* string = new Object{Kind::String, {}, {}, {}};
  if (length > 0) string->chars.assign(chars, chars + length);
  record("NewString " + textOf(string));
  enterSlot("NewString");
  return static_cast<jstring>(newRef(string));
}

Object* requireArrayIndex(jobjectArray arrayRef, jsize index, const char* slot) {
  Object* array = requireObject(arrayRef, Kind::Array, slot, "array");
  if (index < 0 || size_t(index) >= array->elements.size())
    failLoudly(std::string("INVALID ") + slot + " index " + std::to_string(index) + " of " +
               std::to_string(array->elements.size()));
  return array;
}

void JNICALL SetObjectArrayElement(JNIEnv*, jobjectArray arrayRef, jsize index, jobject value) {
  Object* element = objectOf(value, "SetObjectArrayElement", "value");
  record("SetObjectArrayElement " + std::to_string(index) + " " + textOrDescription(element));
  enterSlot("SetObjectArrayElement");
  requireArrayIndex(arrayRef, index, "SetObjectArrayElement")->elements[size_t(index)] = element;
}

jobject JNICALL GetObjectArrayElement(JNIEnv*, jobjectArray arrayRef, jsize index) {
  record("GetObjectArrayElement " + std::to_string(index));
  enterSlot("GetObjectArrayElement");
  return newRef(
      requireArrayIndex(arrayRef, index, "GetObjectArrayElement")->elements[size_t(index)]);
}

jsize JNICALL GetArrayLength(JNIEnv*, jarray arrayRef) {
  requireLiveVm("GetArrayLength");
  const Object* array = requireObject(arrayRef, Kind::Array, "GetArrayLength", "array");
  record("GetArrayLength " + std::to_string(array->elements.size()));
  return jsize(array->elements.size());
}

jthrowable JNICALL ExceptionOccurred(JNIEnv*) {
  Object* pending = pendingException();
  record(std::string("ExceptionOccurred ") + (pending ? "1" : "0"));
  requireLiveVm("ExceptionOccurred");
  return static_cast<jthrowable>(newRef(pending));
}

jboolean JNICALL ExceptionCheck(JNIEnv*) {
  Object* pending = pendingException();
  record(std::string("ExceptionCheck ") + (pending ? "1" : "0"));
  requireLiveVm("ExceptionCheck");
  return pending ? JNI_TRUE : JNI_FALSE;
}

// Prints the pending exception's message to standard error and clears it,
// as a virtual machine does (without the stack trace).
void JNICALL ExceptionDescribe(JNIEnv*) {
  record("ExceptionDescribe");
  requireLiveVm("ExceptionDescribe");
  if (Object* pending = pendingException()) {
    writeStd(STD_ERROR_HANDLE, pending->name + "\n");
    setPendingException(nullptr);
  }
}

void JNICALL ExceptionClear(JNIEnv*) {
  record("ExceptionClear");
  requireLiveVm("ExceptionClear");
  setPendingException(nullptr);
}

void JNICALL DeleteLocalRef(JNIEnv*, jobject ref) {
  record("DeleteLocalRef " + describe(objectOf(ref, "DeleteLocalRef", "reference")));
  requireLiveVm("DeleteLocalRef");
  if (ref != nullptr && !deleteRef(ref)) failLoudly("INVALID DeleteLocalRef reference");
}

jsize JNICALL GetStringLength(JNIEnv*, jstring ref) {
  const Object* string = requireObject(ref, Kind::String, "GetStringLength", "string");
  record("GetStringLength " + std::to_string(string->chars.size()));
  requireLiveVm("GetStringLength");
  return jsize(string->chars.size());
}

// Hands out a NUL-terminated copy, which ReleaseStringChars must give back.
const jchar* JNICALL GetStringChars(JNIEnv*, jstring ref, jboolean* isCopy) {
  const Object* string = requireObject(ref, Kind::String, "GetStringChars", "string");
  record("GetStringChars " + textOf(string));
  requireLiveVm("GetStringChars");
  auto* copy = new jchar[string->chars.size() + 1];
  std::copy(string->chars.begin(), string->chars.end(), copy);
  copy[string->chars.size()] = 0;
  if (isCopy != nullptr) *isCopy = JNI_TRUE;
  Locked lock;
  stringCopies.insert(copy);
  return copy;
}

void JNICALL ReleaseStringChars(JNIEnv*, jstring ref, const jchar* chars) {
  requireObject(ref, Kind::String, "ReleaseStringChars", "string");
  record("ReleaseStringChars");
  requireLiveVm("ReleaseStringChars");
  Locked lock;
  if (stringCopies.erase(chars) != 1) failLoudly("INVALID ReleaseStringChars chars");
  delete[] chars;
}

}  // namespace

void fillUsedSlots(JNINativeInterface_& t) {
  t.GetVersion = GetVersion;
  t.FindClass = FindClass;
  t.GetStaticMethodID = GetStaticMethodID;
  t.NewObjectArray = NewObjectArray;
  t.NewString = NewString;
  t.SetObjectArrayElement = SetObjectArrayElement;
  t.GetObjectArrayElement = GetObjectArrayElement;
  t.GetArrayLength = GetArrayLength;
  t.ExceptionOccurred = ExceptionOccurred;
  t.ExceptionCheck = ExceptionCheck;
  t.ExceptionDescribe = ExceptionDescribe;
  t.ExceptionClear = ExceptionClear;
  t.DeleteLocalRef = DeleteLocalRef;
  t.GetStringLength = GetStringLength;
  t.GetStringChars = GetStringChars;
  t.ReleaseStringChars = ReleaseStringChars;
}

}  // namespace jvmstub
