// Numbers of the configuration keys the launcher reads. Message texts are keys
// 1000-1020 (their ids are in report/ErrorReport.h, namespace message).
#pragma once

#include <cstddef>
#include <cstdint>

namespace qarvo::key {

constexpr std::int32_t errorRedirect = 102;         // flag: error output goes to the file of 103
constexpr std::int32_t errorFile = 103;             // text: error-output file
constexpr std::int32_t outputRedirect = 104;        // flag: standard output goes to the file of 105
constexpr std::int32_t outputFile = 105;            // text: standard-output file
constexpr std::int32_t javaFlag106 = 106;           // flag: fifth parameter of the Java-side launcher
constexpr std::int32_t applicationType = 107;       // int: 1 windowed (javaw.exe); 1 and 5 keep dialogs
constexpr std::int32_t splashWanted = 108;          // flag
constexpr std::int32_t classPath = 121;             // text: ";"-separated class path entries
constexpr std::int32_t mainClass = 122;             // text: application main class, dotted
constexpr std::int32_t vmOptions = 123;             // text: default VM options
constexpr std::int32_t defaultArguments = 124;      // text: arguments before the user's
constexpr std::int32_t dashJArguments = 125;        // flag: "-J" arguments are VM options
constexpr std::int32_t lowestVersion = 126;         // text
constexpr std::int32_t highestVersion = 127;        // text
constexpr std::int32_t searchSequence = 128;        // text
constexpr std::int32_t allowBeta = 130;             // int
constexpr std::int32_t requireJdk = 131;            // int
constexpr std::int32_t workingDirectory = 146;      // text, relative to the launcher directory
constexpr std::int32_t preferredVmType = 152;       // text, read into 200 bytes
constexpr std::int32_t consoleSwitches = 154;       // flag: "-q" and "-c"
constexpr std::int32_t consoleSwitch = 156;         // flag: "-console"
constexpr std::int32_t globalSemaphores = 158;      // flag
constexpr std::int32_t installationId = 160;        // text
constexpr std::int32_t launcherKind = 2001;         // character, read into 2 bytes
constexpr std::int32_t includedFileCount = 2002;    // int
constexpr std::int32_t includedFileNames = 2003;    // text
constexpr std::int32_t applicationDirectory = 10003;  // text, relative to the launcher directory
constexpr std::int32_t nativeLibraryPath = 10004;   // text
constexpr std::int32_t singleInstance = 10005;      // flag
constexpr std::int32_t splashLibrary = 10123;       // flag

// Buffer sizes (terminator included) of the keys not read into 8192 bytes.
constexpr std::size_t launcherKindCapacity = 2;
constexpr std::size_t preferredVmTypeCapacity = 200;

}  // namespace qarvo::key
