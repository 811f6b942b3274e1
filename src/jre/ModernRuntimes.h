// Runtimes installed the way they are today: Java 9 and later register under
// SOFTWARE\JavaSoft\JDK and JRE, the vendors' installers under keys of their
// own, and many installs are only directories below Program Files. The
// search-sequence letter M looks at all of them, newest version first.
#pragma once

#include <string>
#include <vector>

namespace qarvo {

// The search-sequence letter of this search. Launchers that predate it ignore
// an entry with it, so older launchers keep working with newer blocks.
constexpr char modernRuntimesLetter = 'M';

// One place a runtime may be installed: its home and the version the key or
// directory name gives (possibly empty).
struct RuntimeCandidate {
    std::string home;
    std::string version;
};

// The candidates of the registry (HKLM, then HKCU, each in the launcher's own
// view, where installers of its architecture register) and of the install
// directories below %ProgramFiles%, in the order they were found.
std::vector<RuntimeCandidate> modernRuntimeCandidates();

// The version a key or directory name carries: from its first digit on, the
// digits and the separators ".", "_", "+" and "-" that a digit follows
// ("jdk-17.0.2+8" gives "17.0.2+8", "zulu-17-jre" gives "17", "jdk1.8.0_202"
// gives "1.8.0_202"); empty when it has no digit.
std::string versionInName(const std::string& name);

// The newest acceptable candidate: the candidates ordered by the version of
// their names (newest first, equal versions in the order found), each whose
// home exists judged by findJavaExe and checkJavaExe (beta check on) until one
// is accepted, so that usually one runtime is probed. `javaExe` receives its
// executable and `home` its home.
bool searchModernRuntimes(std::string& javaExe, std::string& home, const std::string& lowest,
                          const std::string& highest);

}  // namespace qarvo
