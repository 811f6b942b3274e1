#include "jvm/testing/FakeJvm.h"

#include <algorithm>
#include <cstdarg>
#include <deque>
#include <memory>

#include "jvm/JavaVMCreation.h"
#include "jvm/JvmEntry.h"

namespace qarvo::testing {

namespace {

// Objects live as long as the FakeJvm; references are their addresses.
struct Object {
    std::string className;               // a class's name, or "java/lang/String" for a string
    std::u16string text;                 // a string's characters
    std::vector<const Object*> elements; // an array's elements
    bool isArray = false;
};
struct Method {
    std::string name;
};

struct State {
    FakeJvm* jvm = nullptr;
    std::deque<Object> objects;
    std::deque<Method> methods;
    const Object* pending = nullptr;
    bool created = false;
    JNINativeInterface_ functions{};
    JNIEnv_ env{};
    JNIInvokeInterface_ invoke{};
    JavaVM_ vm{};
};
State* state = nullptr;

jobject reference(Object object) {
    state->objects.push_back(std::move(object));
    return reinterpret_cast<jobject>(&state->objects.back());
}
Object* objectOf(jobject ref) { return reinterpret_cast<Object*>(ref); }
void record(std::string call) { state->jvm->calls.push_back(std::move(call)); }
void raise(const std::string& what) {
    state->pending = objectOf(reference(Object{"java/lang/Throwable", std::u16string(what.begin(), what.end()), {}}));
}

jclass JNICALL findClass(JNIEnv*, const char* name) {
    record(std::string("FindClass ") + name);
    if (state->jvm->java.missingClasses.count(name) || std::string(name).find('.') != std::string::npos) {
        raise(std::string("java.lang.NoClassDefFoundError: ") + name);
        return nullptr;
    }
    return static_cast<jclass>(reference(Object{name, {}, {}}));
}

jmethodID JNICALL getStaticMethodID(JNIEnv*, jclass, const char* name, const char* signature) {
    record(std::string("GetStaticMethodID ") + name + " " + signature);
    if (state->jvm->java.missingMethods.count(name)) {
        raise(std::string("java.lang.NoSuchMethodError: ") + name);
        return nullptr;
    }
    state->methods.push_back(Method{name});
    return reinterpret_cast<jmethodID>(&state->methods.back());
}

jobjectArray JNICALL newObjectArray(JNIEnv*, jsize length, jclass elementClass, jobject initial) {
    record("NewObjectArray " + std::to_string(length) + " " + objectOf(elementClass)->className);
    if (state->jvm->java.noArray) return nullptr;
    Object array{objectOf(elementClass)->className, {}, {}, true};
    array.elements.assign(static_cast<std::size_t>(length), objectOf(initial));
    return static_cast<jobjectArray>(reference(std::move(array)));
}

jstring JNICALL newString(JNIEnv*, const jchar* chars, jsize length) {
    if (state->jvm->java.noStrings) return nullptr;
    std::u16string text(reinterpret_cast<const char16_t*>(chars), static_cast<std::size_t>(length));
    return static_cast<jstring>(reference(Object{"java/lang/String", text, {}}));
}

void JNICALL setObjectArrayElement(JNIEnv*, jobjectArray array, jsize index, jobject value) {
    objectOf(array)->elements.at(static_cast<std::size_t>(index)) = objectOf(value);
}

void JNICALL callStaticVoidMethodV(JNIEnv*, jclass, jmethodID method, va_list arguments) {
    record("CallStaticVoidMethod " + reinterpret_cast<Method*>(method)->name);
    const Object* array = objectOf(va_arg(arguments, jobjectArray));
    for (const Object* element : array->elements) state->jvm->mainArguments.push_back(element ? element->text : u"(null)");
    if (state->jvm->java.mainThrows) raise("stub exception in main");
}

jboolean JNICALL callStaticBooleanMethodV(JNIEnv*, jclass, jmethodID method, va_list) {
    record("CallStaticBooleanMethod " + reinterpret_cast<Method*>(method)->name);
    if (state->jvm->java.firstRunThrows) {
        raise("stub exception in firstrun");
        return JNI_FALSE;
    }
    return state->jvm->java.firstRunResult ? JNI_TRUE : JNI_FALSE;
}

jthrowable JNICALL exceptionOccurred(JNIEnv*) {
    return reinterpret_cast<jthrowable>(const_cast<Object*>(state->pending));
}

void JNICALL exceptionDescribe(JNIEnv*) {
    record("ExceptionDescribe");
    state->pending = nullptr;
}

jint JNICALL destroyJavaVM(JavaVM*) {
    record("DestroyJavaVM");
    return JNI_OK;
}

jint JNICALL createJavaVM(JavaVM** vm, void** env, void* initArguments) {
    FakeJvm& jvm = *state->jvm;
    const auto* init = static_cast<const JavaVMInitArgs*>(initArguments);
    jvm.version = init->version;
    jvm.ignoreUnrecognized = init->ignoreUnrecognized;
    for (jint i = 0; i < init->nOptions; ++i) {
        jvm.options.emplace_back(init->options[i].optionString);
        if (init->options[i].extraInfo) jvm.extraInfoGiven = true;
    }
    record("JNI_CreateJavaVM");
    if (jvm.java.createResult != JNI_OK) return jvm.java.createResult;
    *vm = &state->vm;
    *env = &state->env;
    return JNI_OK;
}

}  // namespace

FakeJvm::FakeJvm() : state_(new State), previous_(state) {
    state = static_cast<State*>(state_);
    state->jvm = this;
    JNINativeInterface_& f = state->functions;
    f.FindClass = findClass;
    f.GetStaticMethodID = getStaticMethodID;
    f.NewObjectArray = newObjectArray;
    f.NewString = newString;
    f.SetObjectArrayElement = setObjectArrayElement;
    f.CallStaticVoidMethodV = callStaticVoidMethodV;
    f.CallStaticBooleanMethodV = callStaticBooleanMethodV;
    f.ExceptionOccurred = exceptionOccurred;
    f.ExceptionDescribe = exceptionDescribe;
    state->env.functions = &state->functions;
    state->invoke.DestroyJavaVM = destroyJavaVM;
    state->vm.functions = &state->invoke;
    resetJavaVMForTesting();
    setCreateJavaVMEntry(reinterpret_cast<void*>(&createJavaVM));
}

FakeJvm::~FakeJvm() {
    delete static_cast<State*>(state_);
    state = static_cast<State*>(previous_);
    resetJavaVMForTesting();
    setCreateJavaVMEntry(state ? reinterpret_cast<void*>(&createJavaVM) : nullptr);
}

bool FakeJvm::called(const std::string& call) const { return std::find(calls.begin(), calls.end(), call) != calls.end(); }

bool FakeJvm::calledBefore(const std::string& first, const std::string& second) const {
    auto a = std::find(calls.begin(), calls.end(), first);
    auto b = std::find(calls.begin(), calls.end(), second);
    return a != calls.end() && b != calls.end() && a < b;
}

}  // namespace qarvo::testing
