// The JNIEnv and JavaVM functions the launcher has no business calling. Each
// records "UNEXPECTED <slot>", says so on standard error and ends the process
// with 97, so a test sees at once that the launcher called something new.
//
// Every function has exactly the type of its slot (the assignments below are
// checked by the compiler). The variadic slots are defined variadic: a 32-bit
// caller pushes their arguments cdecl-style and pops them itself, and a
// fixed-argument __stdcall definition would pop them a second time.
#include "JvmStub.h"

namespace jvmstub {
namespace {

#define UNEXPECTED(Ret, Slot, ...) \
  Ret JNICALL Slot(__VA_ARGS__) { unexpected(#Slot); }

// Call<Type>Method[V|A] and CallNonvirtual<Type>Method[V|A].
#define UNEXPECTED_INSTANCE_CALLS(Type, Ret)                                                   \
  UNEXPECTED(Ret, Call##Type##Method, JNIEnv*, jobject, jmethodID, ...)                        \
  UNEXPECTED(Ret, Call##Type##MethodV, JNIEnv*, jobject, jmethodID, va_list)                   \
  UNEXPECTED(Ret, Call##Type##MethodA, JNIEnv*, jobject, jmethodID, const jvalue*)             \
  UNEXPECTED(Ret, CallNonvirtual##Type##Method, JNIEnv*, jobject, jclass, jmethodID, ...)      \
  UNEXPECTED(Ret, CallNonvirtual##Type##MethodV, JNIEnv*, jobject, jclass, jmethodID, va_list) \
  UNEXPECTED(Ret, CallNonvirtual##Type##MethodA, JNIEnv*, jobject, jclass, jmethodID, const jvalue*)
#define FILL_INSTANCE_CALLS(Type, Ret)                             \
  t.Call##Type##Method = Call##Type##Method;                       \
  t.Call##Type##MethodV = Call##Type##MethodV;                     \
  t.Call##Type##MethodA = Call##Type##MethodA;                     \
  t.CallNonvirtual##Type##Method = CallNonvirtual##Type##Method;   \
  t.CallNonvirtual##Type##MethodV = CallNonvirtual##Type##MethodV; \
  t.CallNonvirtual##Type##MethodA = CallNonvirtual##Type##MethodA;

// CallStatic<Type>Method[V|A], for the types the launcher does not call
// (void and boolean are in JvmStubCalls.cpp).
#define UNEXPECTED_STATIC_CALLS(Type, Ret)                                        \
  UNEXPECTED(Ret, CallStatic##Type##Method, JNIEnv*, jclass, jmethodID, ...)      \
  UNEXPECTED(Ret, CallStatic##Type##MethodV, JNIEnv*, jclass, jmethodID, va_list) \
  UNEXPECTED(Ret, CallStatic##Type##MethodA, JNIEnv*, jclass, jmethodID, const jvalue*)
#define FILL_STATIC_CALLS(Type, Ret)                       \
  t.CallStatic##Type##Method = CallStatic##Type##Method;   \
  t.CallStatic##Type##MethodV = CallStatic##Type##MethodV; \
  t.CallStatic##Type##MethodA = CallStatic##Type##MethodA;

// Get/Set[Static]<Type>Field.
#define UNEXPECTED_FIELDS(Type, T)                                  \
  UNEXPECTED(T, Get##Type##Field, JNIEnv*, jobject, jfieldID)       \
  UNEXPECTED(void, Set##Type##Field, JNIEnv*, jobject, jfieldID, T) \
  UNEXPECTED(T, GetStatic##Type##Field, JNIEnv*, jclass, jfieldID)  \
  UNEXPECTED(void, SetStatic##Type##Field, JNIEnv*, jclass, jfieldID, T)
#define FILL_FIELDS(Type, T)                         \
  t.Get##Type##Field = Get##Type##Field;             \
  t.Set##Type##Field = Set##Type##Field;             \
  t.GetStatic##Type##Field = GetStatic##Type##Field; \
  t.SetStatic##Type##Field = SetStatic##Type##Field;

// The functions on arrays of a primitive type.
#define UNEXPECTED_ARRAYS(Type, T, A)                                    \
  UNEXPECTED(A, New##Type##Array, JNIEnv*, jsize)                        \
  UNEXPECTED(T*, Get##Type##ArrayElements, JNIEnv*, A, jboolean*)        \
  UNEXPECTED(void, Release##Type##ArrayElements, JNIEnv*, A, T*, jint)   \
  UNEXPECTED(void, Get##Type##ArrayRegion, JNIEnv*, A, jsize, jsize, T*) \
  UNEXPECTED(void, Set##Type##ArrayRegion, JNIEnv*, A, jsize, jsize, const T*)
#define FILL_ARRAYS(Type, T, A)                                  \
  t.New##Type##Array = New##Type##Array;                         \
  t.Get##Type##ArrayElements = Get##Type##ArrayElements;         \
  t.Release##Type##ArrayElements = Release##Type##ArrayElements; \
  t.Get##Type##ArrayRegion = Get##Type##ArrayRegion;             \
  t.Set##Type##ArrayRegion = Set##Type##ArrayRegion;

#define VALUE_TYPES(X) \
  X(Object, jobject)   \
  X(Boolean, jboolean) \
  X(Byte, jbyte)       \
  X(Char, jchar)       \
  X(Short, jshort)     \
  X(Int, jint)         \
  X(Long, jlong)       \
  X(Float, jfloat)     \
  X(Double, jdouble)
#define STATIC_CALLS_NOT_USED(X) \
  X(Object, jobject)             \
  X(Byte, jbyte)                 \
  X(Char, jchar)                 \
  X(Short, jshort)               \
  X(Int, jint)                   \
  X(Long, jlong)                 \
  X(Float, jfloat)               \
  X(Double, jdouble)
#define PRIMITIVE_ARRAYS(X)           \
  X(Boolean, jboolean, jbooleanArray) \
  X(Byte, jbyte, jbyteArray)          \
  X(Char, jchar, jcharArray)          \
  X(Short, jshort, jshortArray)       \
  X(Int, jint, jintArray)             \
  X(Long, jlong, jlongArray)          \
  X(Float, jfloat, jfloatArray)       \
  X(Double, jdouble, jdoubleArray)

VALUE_TYPES(UNEXPECTED_INSTANCE_CALLS)
UNEXPECTED_INSTANCE_CALLS(Void, void)
STATIC_CALLS_NOT_USED(UNEXPECTED_STATIC_CALLS)
VALUE_TYPES(UNEXPECTED_FIELDS)
PRIMITIVE_ARRAYS(UNEXPECTED_ARRAYS)

UNEXPECTED(jclass, DefineClass, JNIEnv*, const char*, jobject, const jbyte*, jsize)
UNEXPECTED(jmethodID, FromReflectedMethod, JNIEnv*, jobject)
UNEXPECTED(jfieldID, FromReflectedField, JNIEnv*, jobject)
UNEXPECTED(jobject, ToReflectedMethod, JNIEnv*, jclass, jmethodID, jboolean)
UNEXPECTED(jclass, GetSuperclass, JNIEnv*, jclass)
UNEXPECTED(jboolean, IsAssignableFrom, JNIEnv*, jclass, jclass)
UNEXPECTED(jobject, ToReflectedField, JNIEnv*, jclass, jfieldID, jboolean)
UNEXPECTED(jint, Throw, JNIEnv*, jthrowable)
UNEXPECTED(jint, ThrowNew, JNIEnv*, jclass, const char*)
UNEXPECTED(void, FatalError, JNIEnv*, const char*)
UNEXPECTED(jint, PushLocalFrame, JNIEnv*, jint)
UNEXPECTED(jobject, PopLocalFrame, JNIEnv*, jobject)
UNEXPECTED(jobject, NewGlobalRef, JNIEnv*, jobject)
UNEXPECTED(void, DeleteGlobalRef, JNIEnv*, jobject)
UNEXPECTED(jboolean, IsSameObject, JNIEnv*, jobject, jobject)
UNEXPECTED(jobject, NewLocalRef, JNIEnv*, jobject)
UNEXPECTED(jint, EnsureLocalCapacity, JNIEnv*, jint)
UNEXPECTED(jobject, AllocObject, JNIEnv*, jclass)
UNEXPECTED(jobject, NewObject, JNIEnv*, jclass, jmethodID, ...)
UNEXPECTED(jobject, NewObjectV, JNIEnv*, jclass, jmethodID, va_list)
UNEXPECTED(jobject, NewObjectA, JNIEnv*, jclass, jmethodID, const jvalue*)
UNEXPECTED(jclass, GetObjectClass, JNIEnv*, jobject)
UNEXPECTED(jboolean, IsInstanceOf, JNIEnv*, jobject, jclass)
UNEXPECTED(jmethodID, GetMethodID, JNIEnv*, jclass, const char*, const char*)
UNEXPECTED(jfieldID, GetFieldID, JNIEnv*, jclass, const char*, const char*)
UNEXPECTED(jfieldID, GetStaticFieldID, JNIEnv*, jclass, const char*, const char*)
UNEXPECTED(jstring, NewStringUTF, JNIEnv*, const char*)
UNEXPECTED(jsize, GetStringUTFLength, JNIEnv*, jstring)
UNEXPECTED(const char*, GetStringUTFChars, JNIEnv*, jstring, jboolean*)
UNEXPECTED(void, ReleaseStringUTFChars, JNIEnv*, jstring, const char*)
UNEXPECTED(jint, RegisterNatives, JNIEnv*, jclass, const JNINativeMethod*, jint)
UNEXPECTED(jint, UnregisterNatives, JNIEnv*, jclass)
UNEXPECTED(jint, MonitorEnter, JNIEnv*, jobject)
UNEXPECTED(jint, MonitorExit, JNIEnv*, jobject)
UNEXPECTED(jint, GetJavaVM, JNIEnv*, JavaVM**)
UNEXPECTED(void, GetStringRegion, JNIEnv*, jstring, jsize, jsize, jchar*)
UNEXPECTED(void, GetStringUTFRegion, JNIEnv*, jstring, jsize, jsize, char*)
UNEXPECTED(void*, GetPrimitiveArrayCritical, JNIEnv*, jarray, jboolean*)
UNEXPECTED(void, ReleasePrimitiveArrayCritical, JNIEnv*, jarray, void*, jint)
UNEXPECTED(const jchar*, GetStringCritical, JNIEnv*, jstring, jboolean*)
UNEXPECTED(void, ReleaseStringCritical, JNIEnv*, jstring, const jchar*)
UNEXPECTED(jweak, NewWeakGlobalRef, JNIEnv*, jobject)
UNEXPECTED(void, DeleteWeakGlobalRef, JNIEnv*, jweak)
UNEXPECTED(jobject, NewDirectByteBuffer, JNIEnv*, void*, jlong)
UNEXPECTED(void*, GetDirectBufferAddress, JNIEnv*, jobject)
UNEXPECTED(jlong, GetDirectBufferCapacity, JNIEnv*, jobject)
UNEXPECTED(jobjectRefType, GetObjectRefType, JNIEnv*, jobject)
UNEXPECTED(jobject, GetModule, JNIEnv*, jclass)

UNEXPECTED(jint, AttachCurrentThreadAsDaemon, JavaVM*, void**, void*)

}  // namespace

void fillUnexpectedSlots(JNINativeInterface_& t) {
  VALUE_TYPES(FILL_INSTANCE_CALLS)
  FILL_INSTANCE_CALLS(Void, void)
  STATIC_CALLS_NOT_USED(FILL_STATIC_CALLS)
  VALUE_TYPES(FILL_FIELDS)
  PRIMITIVE_ARRAYS(FILL_ARRAYS)

  t.DefineClass = DefineClass;
  t.FromReflectedMethod = FromReflectedMethod;
  t.FromReflectedField = FromReflectedField;
  t.ToReflectedMethod = ToReflectedMethod;
  t.GetSuperclass = GetSuperclass;
  t.IsAssignableFrom = IsAssignableFrom;
  t.ToReflectedField = ToReflectedField;
  t.Throw = Throw;
  t.ThrowNew = ThrowNew;
  t.FatalError = FatalError;
  t.PushLocalFrame = PushLocalFrame;
  t.PopLocalFrame = PopLocalFrame;
  t.NewGlobalRef = NewGlobalRef;
  t.DeleteGlobalRef = DeleteGlobalRef;
  t.IsSameObject = IsSameObject;
  t.NewLocalRef = NewLocalRef;
  t.EnsureLocalCapacity = EnsureLocalCapacity;
  t.AllocObject = AllocObject;
  t.NewObject = NewObject;
  t.NewObjectV = NewObjectV;
  t.NewObjectA = NewObjectA;
  t.GetObjectClass = GetObjectClass;
  t.IsInstanceOf = IsInstanceOf;
  t.GetMethodID = GetMethodID;
  t.GetFieldID = GetFieldID;
  t.GetStaticFieldID = GetStaticFieldID;
  t.NewStringUTF = NewStringUTF;
  t.GetStringUTFLength = GetStringUTFLength;
  t.GetStringUTFChars = GetStringUTFChars;
  t.ReleaseStringUTFChars = ReleaseStringUTFChars;
  t.RegisterNatives = RegisterNatives;
  t.UnregisterNatives = UnregisterNatives;
  t.MonitorEnter = MonitorEnter;
  t.MonitorExit = MonitorExit;
  t.GetJavaVM = GetJavaVM;
  t.GetStringRegion = GetStringRegion;
  t.GetStringUTFRegion = GetStringUTFRegion;
  t.GetPrimitiveArrayCritical = GetPrimitiveArrayCritical;
  t.ReleasePrimitiveArrayCritical = ReleasePrimitiveArrayCritical;
  t.GetStringCritical = GetStringCritical;
  t.ReleaseStringCritical = ReleaseStringCritical;
  t.NewWeakGlobalRef = NewWeakGlobalRef;
  t.DeleteWeakGlobalRef = DeleteWeakGlobalRef;
  t.NewDirectByteBuffer = NewDirectByteBuffer;
  t.GetDirectBufferAddress = GetDirectBufferAddress;
  t.GetDirectBufferCapacity = GetDirectBufferCapacity;
  t.GetObjectRefType = GetObjectRefType;
  t.GetModule = GetModule;
}

void fillUnexpectedInvokeSlots(JNIInvokeInterface_& t) {
  t.AttachCurrentThreadAsDaemon = AttachCurrentThreadAsDaemon;
}

}  // namespace jvmstub
