#include "jvm/MainInvocation.h"

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "jvm/JavaVMCreation.h"
#include "base/CodePage.h"
#include "base/CommandLine.h"
#include "base/LauncherKind.h"
#include "base/PathHelpers.h"
#include "payload/ApplicationDirectory.h"
#include "report/ErrorReport.h"
#include "report/Log.h"
#include "base/Format.h"
#include "vmargs/VariableExpansion.h"

namespace qarvo {

namespace {

constexpr const char* mainSignature = "([Ljava/lang/String;)V";

// A JNI call that cannot fail in a working virtual machine failed: the
// launcher cannot go on.
[[noreturn]] void failAssertion(const char* what) {
    logError("assertion failed: %s", what);
    failWithMessage(formatText("Assertion failed: %s, file %s", what, "windows\\JavaVMLauncher"));
}

std::u16string widened(const std::string& narrow) {
    std::u16string wide;
    narrowToWide(narrow, wide);
    return wide;
}

const char16_t* flag(bool on) { return on ? u"true" : u"false"; }

// Entry 2 or 3 of the parameter array.
std::u16string redirectionFile(std::int32_t switchKey, std::int32_t fileKey) {
    if (getIntValue(switchKey) == 0) return std::u16string();
    std::string file = getStringValue(fileKey);
    expandVariables(file);
    // An empty name stays empty, so that the Java side leaves the stream
    // alone instead of being handed the launcher directory as a file.
    if (!file.empty() && file[0] != '$') file = absolutePath(file, true);
    return widened(file);
}

bool isDashJ(const std::u16string& argument) {
    return argument.size() >= 2 && argument[0] == u'-' && argument[1] == u'J';
}

jobjectArray newParameterArray(JNIEnv* env, const ArgumentList& parameters) {
    jclass stringClass = env->FindClass("java/lang/String");
    if (!stringClass) failAssertion("paramArray");
    jobjectArray array = env->NewObjectArray(static_cast<jsize>(parameters.size()), stringClass, nullptr);
    if (!array) failAssertion("paramArray");
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        // The log shows the text in the code page; Java gets the UTF-16 as it is.
        std::string logged;
        wideToNarrow(parameters[i], logged);
        logLine("param %d: %s", static_cast<int>(i), logged.c_str());
        jstring text = env->NewString(reinterpret_cast<const jchar*>(parameters[i].data()),
                                      static_cast<jsize>(parameters[i].size()));
        if (!text) failAssertion("jstr");
        env->SetObjectArrayElement(array, static_cast<jsize>(i), text);
    }
    return array;
}

}  // namespace

const char* launcherClassName() {
    return isInstallerKind() ? "com/moravelin/runtime/launcher/WinLauncher" : "com/qarvo/runtime/WinLauncher";
}

ArgumentList buildParameterList(const ArgumentList& arguments) {
    ArgumentList parameters;
    parameters.push_back(flag(getIntValue(key::applicationType) == 1));
    // The class name is narrow text in the code page, like every key value.
    parameters.push_back(widened(getStringValue(key::mainClass)));
    parameters.push_back(redirectionFile(key::errorRedirect, key::errorFile));
    parameters.push_back(redirectionFile(key::outputRedirect, key::outputFile));
    parameters.push_back(flag(getIntValue(key::javaFlag106) != 0));
    if (!arguments.empty()) parameters.push_back(arguments[0]);
    std::string defaults = getStringValue(key::defaultArguments);
    expandVariables(defaults);
    // An unbalanced quote ends the launch as one on the command line does.
    if (!splitWords(widened(defaults), parameters)) failWithMessageId(message::wrongParameterUsage, nullptr);
    const bool dashJForVm = getIntValue(key::dashJArguments) != 0;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (dashJForVm && isDashJ(arguments[i])) continue;  // handed to the virtual machine
        parameters.push_back(arguments[i]);
    }
    return parameters;
}

bool callMain(const ArgumentList& arguments) {
    if (isInstallerKind() && !checkFirstRun()) {
        logLine("checkFirstRun stopped further execution");
        return true;
    }
    JNIEnv* env = jniEnv();
    const char* className = launcherClassName();
    logLine("main class: %s", className);
    jclass launcherClass = env->FindClass(className);
    if (!launcherClass) {
        logError("could not find main class");
        failWithMessageId(message::mainClassNotLoaded, nullptr);
    }
    jmethodID mainMethod = env->GetStaticMethodID(launcherClass, "main", mainSignature);
    if (!mainMethod) {
        logError("could not find main method");
        failWithMessageId(message::mainMethodNotFound, nullptr);
    }
    const ArgumentList parameters = buildParameterList(arguments);
    logLine("param count: %d", static_cast<int>(parameters.size()));
    jobjectArray parameterArray = newParameterArray(env, parameters);
    logLine("calling main");
    env->CallStaticVoidMethod(launcherClass, mainMethod, parameterArray);
    logLine("main returned");
    if (env->ExceptionOccurred()) {
        logError("an exception occured");
        env->ExceptionDescribe();
        return false;
    }
    return true;
}

bool checkFirstRun() {
    const std::string marker = applicationDirectoryFile(".moravelin\\firstrun");
    const bool present = fileExists(marker);
    logLine("first run marker %s (exists %d)", marker.c_str(), present ? 1 : 0);
    if (!present) return true;
    JNIEnv* env = jniEnv();
    jclass firstRunClass = env->FindClass("com/moravelin/runtime/launcher/FirstRun");
    if (!firstRunClass) failWithMessageId(message::internalError, "14");
    jmethodID firstRun = env->GetStaticMethodID(firstRunClass, "firstRun", "()Z");
    if (!firstRun) failWithMessageId(message::internalError, "15");
    const jboolean goOn = env->CallStaticBooleanMethod(firstRunClass, firstRun);
    if (env->ExceptionOccurred()) {
        env->ExceptionDescribe();
        return false;
    }
    return goOn != JNI_FALSE;
}

}  // namespace qarvo
