// Calling the Java-side launcher class: the first-run hook of installer
// launchers, then WinLauncher.main with the application's settings and
// arguments in a fixed array layout.
#pragma once

#include "base/ArgumentList.h"

namespace qarvo {

// The Java-side launcher class in JNI form: the installer family's for kind
// 'i', else the plain launcher's.
const char* launcherClassName();

// The String[] given to main:
//   0  "true" when key 107 is 1, else "false" (the GUI flag)
//   1  the application main class of key 122, as stored
//   2  the error-output file of key 103 when key 102 is set, else ""
//   3  the standard-output file of key 105 when key 104 is set, else ""
//   4  "true" when key 106 is set, else "false"
//   5  element 0 of `arguments` (the launcher as it was started), when there is one
//   6… the words of key 124 (variables expanded), then elements 1… of
//      `arguments`, without those beginning with "-J" when key 125 is set
// File names have their variables expanded and are made absolute unless they
// begin with '$' (the Java side resolves those). An unbalanced quote in key 124
// ends the process with message 1007.
ArgumentList buildParameterList(const ArgumentList& arguments);

// Runs the first-run hook (kind 'i'), finds the launcher class and its main
// (messages 1010 and 1011 end the process when they are missing) and calls it.
// False when main threw; true when it returned or the first-run hook stopped
// the launch.
bool callMain(const ArgumentList& arguments);

// True when main is to be called: there is no first-run marker below the
// installation directory, or FirstRun.firstRun() returned true. A missing
// FirstRun class or method ends the process with message 1009 ("14", "15").
bool checkFirstRun();

}  // namespace qarvo
