// The "-Djava.class.path=" option: the class-path directives, the archives
// extracted into the launcher temporary directory, the installer runtime
// archive and the entries of key 121.
#pragma once

#include <string>

#include "vmargs/VmOptions.h"

namespace qarvo {

// The whole option, in this order: the "-classpath/p" value, the archives of
// the launcher temporary directory and of its "user" subdirectory, the runtime
// archive (kind 'i'), the "-classpath" value or else the entries of key 121,
// the "-classpath/a" value. The text grows as needed: nothing is cut.
std::string buildClassPathOption(const ClassPathOverrides& overrides);

// Appends the entries of key 121, each followed by ";". An entry is a type
// letter, '1' for required (anything else: optional) and a value with
// variables expanded, possibly empty:
//   A, D  archive or directory, resolved against the launcher directory;
//         found when it exists (added either way); an empty value resolves
//         to the empty text, which does not exist
//   S     a directory whose "jar" and then "zip" files are added; found when
//         the directory exists; an empty value is not found, also for a
//         launcher in a drive root
//   E     an environment variable's value (surrounding double quotes
//         dropped); found when it is set and not empty; the empty name
//         names no variable
// A required entry that is not found ends the process: message 1008 with the
// name for an 'E' entry, else message 1006 with the expanded value (both
// possibly empty). An empty element is never added, so an optional entry
// with an empty value adds nothing. Entries of one character (no required
// flag) are skipped; an unknown letter adds nothing and, when required,
// counts as not found.
void appendConfiguredClassPath(std::string& classPath);

// Appends the full name of every `extension` file of `directory`, in the order
// the directory listing gives them. False only when the directory does not
// exist.
bool appendArchivesOfDirectory(std::string& classPath, const std::string& directory, const std::string& extension);

// For launchers of kind 'i': "<installation directory of key 10003>\.moravelin\mrvruntime.jar;",
// whether the archive exists or not.
void appendRuntimeJar(std::string& classPath);

}  // namespace qarvo
