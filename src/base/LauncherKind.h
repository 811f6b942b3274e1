// The launcher kind of configuration key 2001: the build tool writes 'e' for a
// plain launcher and 'i' for one of the installer family. Two rules read it,
// and they differ for every other value (an absent key included).
#pragma once

namespace qarvo {

enum class LauncherKind {
    plain,      // 'e'
    installer,  // 'i'
    other,      // any other character, or none
};

// The kind of the first character of key 2001 ('\0' when absent).
LauncherKind launcherKindOf(char first);

// The process-wide kind, set once when the configuration has been read; other
// until then.
LauncherKind launcherKind();
void setLauncherKind(LauncherKind kind);

// Rule of the command line: "qarvo" for the plain kind, "moravelin" for every
// other kind (the caption of the log question).
const char* builderName();

// Rule of the class path, the virtual machine's properties and the main call:
// only the installer kind ('i') adds the installer runtime, the
// "qarvo.isMoravelin" property, the first-run hook and its launcher class.
bool isInstallerKind();

}  // namespace qarvo
