// Runtimes shipped with their archives in packed form, expanded on the user's
// machine by the runtime's own unpacker before the runtime is first probed.
#pragma once

#include <string>

namespace qarvo {

// Expands the packed runtime in `home` (absolute, lower case) when it has
// lib\rt.jar.pack and not yet lib\jsse.jar: "Preparing JRE ...\n" on standard
// output, then each packed archive in its fixed order, the done marker
// lib\jsse.jar last. May end the process (runUnpack200).
void unpackPackedRuntime(const std::string& home);

// Expands `archive` (relative to `home`, such as "lib\rt.jar") from its
// ".pack" file.
void unpackJar(const std::string& home, const char* archive);

// Runs home\bin\unpack200.exe on `packFile` (a path ending in ".pack") with
// the file without ".pack" as the target, and waits for it without a time
// limit; its exit code is not looked at. A missing pack file is logged and
// skipped. An unpacker that cannot be started ends the process with message
// 1009 and "20".
void runUnpack200(const std::string& home, const std::string& packFile);

}  // namespace qarvo
