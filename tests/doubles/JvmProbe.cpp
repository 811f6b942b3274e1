// jvm_probe.exe: loads a jvm.dll the way the launcher does and drives it
// through a typical start-up, so the stub jvm.dll (or a failure to load a
// DLL) can be checked without the launcher.
//
//   jvm_probe <jvm.dll> [--firstrun] [--unexpected] [--call=variadic|v|a] [arg...]
//
// Creates the virtual machine with the options "-Dprobe.option=1" and
// "-Xmx64m", finds class com/qarvo/probe/Main and calls its
// main(String[]) with the given arguments (by default "plain", "café" and
// "日本"), then reads the array back through the JNI and compares.
// --firstrun also calls the static boolean firstRun(String[]);
// --unexpected calls MonitorEnter, which the launcher never uses.
// --call picks the form of the static calls: the variadic slot as C code
// calls it (default), jni.h's C++ wrapper (which passes a va_list to the ...V
// slot) or the jvalue array slot (...A).
//
// Prints its findings on stdout. Exit codes: 0 done, 2 LoadLibrary failed
// ("LoadLibrary error <code>" on stdout), 3 no JNI_CreateJavaVM export,
// 4 JNI_CreateJavaVM failed, 5 class or method missing, 6 round trip wrong.
#include "DoubleSupport.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <jni.h>

#include <string>
#include <vector>

using namespace doubles;

namespace {

enum class CallForm { Variadic, VaList, Array };

using CreateJavaVM = jint(JNICALL*)(JavaVM**, void**, void*);

void say(const std::string& line) { writeStd(STD_OUTPUT_HANDLE, line + "\n"); }

std::vector<jchar> toJchars(const std::wstring& text) { return {text.begin(), text.end()}; }

bool reportException(JNIEnv* env, const char* after) {
  jthrowable thrown = env->ExceptionOccurred();
  if (thrown == nullptr) return false;
  say(std::string("exception after ") + after);
  env->ExceptionDescribe();
  env->ExceptionClear();
  env->DeleteLocalRef(thrown);
  return true;
}

jobjectArray newStringArray(JNIEnv* env, const std::vector<std::wstring>& texts) {
  jclass stringClass = env->FindClass("java/lang/String");
  if (stringClass == nullptr) return nullptr;
  jobjectArray array = env->NewObjectArray(jsize(texts.size()), stringClass, nullptr);
  env->DeleteLocalRef(stringClass);
  for (size_t i = 0; i < texts.size(); ++i) {
    std::vector<jchar> chars = toJchars(texts[i]);
    jstring text = env->NewString(chars.data(), jsize(chars.size()));
    env->SetObjectArrayElement(array, jsize(i), text);
    env->DeleteLocalRef(text);
  }
  return array;
}

// Reads the array back element by element; true when it holds `texts`.
bool roundTrip(JNIEnv* env, jobjectArray array, const std::vector<std::wstring>& texts) {
  if (env->GetArrayLength(array) != jsize(texts.size())) return false;
  for (size_t i = 0; i < texts.size(); ++i) {
    auto text = static_cast<jstring>(env->GetObjectArrayElement(array, jsize(i)));
    jsize length = env->GetStringLength(text);
    const jchar* chars = env->GetStringChars(text, nullptr);
    bool same = toJchars(texts[i]) == std::vector<jchar>(chars, chars + length);
    env->ReleaseStringChars(text, chars);
    env->DeleteLocalRef(text);
    if (!same) return false;
  }
  return true;
}

void callMain(JNIEnv* env, CallForm form, jclass cls, jmethodID method, jobjectArray array) {
  jvalue value;
  value.l = array;
  switch (form) {
    case CallForm::Variadic:
      env->functions->CallStaticVoidMethod(env, cls, method, array);
      break;
    case CallForm::VaList:
      env->CallStaticVoidMethod(cls, method, array);
      break;
    case CallForm::Array:
      env->CallStaticVoidMethodA(cls, method, &value);
      break;
  }
}

jboolean callFirstRun(JNIEnv* env, CallForm form, jclass cls, jmethodID method,
                      jobjectArray array) {
  jvalue value;
  value.l = array;
  switch (form) {
    case CallForm::Variadic:
      return env->functions->CallStaticBooleanMethod(env, cls, method, array);
    case CallForm::VaList:
      return env->CallStaticBooleanMethod(cls, method, array);
    case CallForm::Array:
      return env->CallStaticBooleanMethodA(cls, method, &value);
  }
  return JNI_FALSE;
}

struct Options {
  bool firstRun = false;
  bool unexpected = false;
  CallForm form = CallForm::Variadic;
};

int probe(JNIEnv* env, const std::vector<std::wstring>& texts, const Options& options) {
  jclass mainClass = env->FindClass("com/qarvo/probe/Main");
  if (reportException(env, "FindClass") || mainClass == nullptr) return 5;
  jmethodID mainMethod = env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V");
  if (reportException(env, "GetStaticMethodID") || mainMethod == nullptr) return 5;
  jobjectArray array = newStringArray(env, texts);
  if (reportException(env, "NewObjectArray") || array == nullptr) return 5;
  bool same = roundTrip(env, array, texts);
  say(same ? "round trip ok" : "round trip differs");
  if (options.firstRun) {
    jmethodID method = env->GetStaticMethodID(mainClass, "firstRun", "([Ljava/lang/String;)Z");
    if (reportException(env, "GetStaticMethodID") || method == nullptr) return 5;
    jboolean result = callFirstRun(env, options.form, mainClass, method, array);
    if (!reportException(env, "firstRun"))
      say(std::string("firstRun ") + (result ? "true" : "false"));
  }
  if (options.unexpected) env->MonitorEnter(mainClass);
  callMain(env, options.form, mainClass, mainMethod, array);
  if (!reportException(env, "main")) say("main returned");
  env->DeleteLocalRef(array);
  env->DeleteLocalRef(mainClass);
  return same ? 0 : 6;
}

}  // namespace

int main() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr || count < 2) {
    say("usage: jvm_probe <jvm.dll> [--firstrun] [--unexpected] [--call=variadic|v|a] [arg...]");
    return 1;
  }
  std::wstring dll = argv[1];
  Options options;
  std::vector<std::wstring> texts;
  for (int i = 2; i < count; ++i) {
    std::wstring arg = argv[i];
    if (arg == L"--firstrun")
      options.firstRun = true;
    else if (arg == L"--unexpected")
      options.unexpected = true;
    else if (arg == L"--call=variadic")
      options.form = CallForm::Variadic;
    else if (arg == L"--call=v")
      options.form = CallForm::VaList;
    else if (arg == L"--call=a")
      options.form = CallForm::Array;
    else
      texts.push_back(arg);
  }
  LocalFree(argv);
  if (texts.empty()) texts = {L"plain", L"caf\u00e9", L"\u65e5\u672c"};

  HMODULE jvm = LoadLibraryW(dll.c_str());
  if (jvm == nullptr) {
    say("LoadLibrary error " + std::to_string(GetLastError()));
    return 2;
  }
  // GetProcAddress returns a generic function pointer: the one cast a DLL
  // loader cannot avoid.
  auto create = reinterpret_cast<CreateJavaVM>(
      reinterpret_cast<void*>(GetProcAddress(jvm, "JNI_CreateJavaVM")));
  if (create == nullptr) {
    say("no JNI_CreateJavaVM");
    return 3;
  }
  char option0[] = "-Dprobe.option=1";
  char option1[] = "-Xmx64m";
  JavaVMOption vmOptions[2] = {{option0, nullptr}, {option1, nullptr}};
  JavaVMInitArgs args{JNI_VERSION_1_2, 2, vmOptions, JNI_FALSE};
  JavaVM* vm = nullptr;
  JNIEnv* env = nullptr;
  jint created = create(&vm, reinterpret_cast<void**>(&env), &args);
  if (created != JNI_OK) {
    say("JNI_CreateJavaVM returned " + std::to_string(created));
    return 4;
  }
  int result = probe(env, texts, options);
  vm->DestroyJavaVM();
  say("done");
  return result;
}
