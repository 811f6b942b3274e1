// The user's virtual-machine options: the words of key 123, "-J" arguments
// (when key 125 allows them) and the lines of the ".vmoptions" file beside the
// launcher with the files it includes. Three directives among them set the
// class path instead of reaching the virtual machine.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/ArgumentList.h"
#include "os/Files.h"

namespace qarvo {

// The options in the order the virtual machine receives them.
using VmOptionList = std::vector<std::string>;

// Values of the class-path directives; a later directive of a kind replaces an
// earlier one.
struct ClassPathOverrides {
    std::optional<std::string> replacement;  // "-classpath <value>": instead of key 121
    std::optional<std::string> prepend;      // "-classpath/p <value>": in front
    std::optional<std::string> append;       // "-classpath/a <value>": at the end
};

// Longest piece of a ".vmoptions" line one read returns: the 8192-byte line
// buffer less its terminator. A longer physical line arrives in several pieces.
constexpr std::size_t optionLineCapacity = 8191;

// A ".vmoptions" file, read line by line the way the C runtime's fgets reads a
// file opened with mode "rt".
using OptionsFile = os::TextReader;

// The handle a log line shows for `file`: null when there is none.
inline const void* handleOf(const std::unique_ptr<OptionsFile>& file) { return file ? file->handle() : nullptr; }

// Includes nested deeper than this are not read: a file can include itself
// under names that differ in case, "..", or short forms, so no set of names
// can tell that a file is already open.
constexpr int maxIncludeDepth = 16;
// At most this many included files are read in one launch, however they nest,
// so that a file including itself many times cannot make the work explode.
constexpr int maxIncludedFiles = 256;

// The words of key 123 (variables expanded; "-include-options" joined with the
// word after it) and, when key 125 is set, the "-J" arguments of `arguments`
// without their "-J".
void addConfiguredVmOptions(const ArgumentList& arguments, VmOptionList& options, ClassPathOverrides& overrides);

// "<long launcher path without its last four characters>.vmoptions", else
// "<long launcher path>.vmoptions"; null when neither can be opened.
std::unique_ptr<OptionsFile> openDefaultVmOptionsFile();

// Every option line of `file` (null: nothing), in order. `includingFile`
// (null for the default file) is the base of relative include paths found in
// the lines.
void readVmOptionsFile(const char* includingFile, std::unique_ptr<OptionsFile> file, VmOptionList& options,
                       ClassPathOverrides& overrides);

// One option: an include directive reads the named file in place, a
// class-path directive sets its override, anything else is appended.
void addVmOption(const char* includingFile, const std::string& option, VmOptionList& options,
                 ClassPathOverrides& overrides);

// A piece of a ".vmoptions" line made an option: trailing CR and LF removed,
// then leading and trailing spaces (tabs stay). False for an empty line or a
// comment ('#' first).
bool optionFromLine(std::string& piece);

// Forgets how many included files were read (tests only; a launch reads once).
void resetIncludedFilesForTesting();

}  // namespace qarvo
