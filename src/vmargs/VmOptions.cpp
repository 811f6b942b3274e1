#include "vmargs/VmOptions.h"

#include <string_view>

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "base/CodePage.h"
#include "base/PathHelpers.h"
#include "base/CommandLine.h"
#include "os/System.h"
#include "report/ErrorReport.h"
#include "report/Log.h"
#include "vmargs/VariableExpansion.h"

namespace qarvo {

namespace {

constexpr std::string_view includeDirective = "-include-options";
constexpr std::string_view includePrefix = "-include-options ";
constexpr std::string_view replacementPrefix = "-classpath ";
constexpr std::string_view prependPrefix = "-classpath/p ";
constexpr std::string_view appendPrefix = "-classpath/a ";

// How deep the include being read is nested, and how many included files
// this launch has read.
int includeDepth = 0;
int includedFiles = 0;

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// The long form of the launcher path; the path itself when there is none.
std::string longLauncherPath() {
    std::string longForm;
    return longPathName(launcherPath(), longForm) ? longForm : launcherPath();
}

void includeFile(const char* includingFile, std::string path, VmOptionList& options, ClassPathOverrides& overrides) {
    if (path.size() > optionLineCapacity) path.resize(optionLineCapacity);
    expandVariables(path);
    std::string resolved = resolveRelativePath(path, includingFile);
    if (includeDepth >= maxIncludeDepth) {
        logError("vmoptions from <%s> not read: includes nested deeper than %d", resolved.c_str(), maxIncludeDepth);
        return;
    }
    if (includedFiles >= maxIncludedFiles) {
        logError("vmoptions from <%s> not read: more than %d included files", resolved.c_str(), maxIncludedFiles);
        return;
    }
    std::unique_ptr<OptionsFile> file = os::files().openText(resolved);
    logLine("adding vmoptions from <%s> (%s) (%p)", resolved.c_str(), path.c_str(), handleOf(file));
    if (!file) return;
    ++includedFiles;
    ++includeDepth;
    readVmOptionsFile(resolved.c_str(), std::move(file), options, overrides);
    --includeDepth;
}

}  // namespace

void addConfiguredVmOptions(const ArgumentList& arguments, VmOptionList& options, ClassPathOverrides& overrides) {
    std::string configured = getStringValue(key::vmOptions);
    expandVariables(configured);
    std::vector<std::string> words;
    // An unbalanced quote ends the launch as one on the command line does.
    if (!splitNarrowWords(configured, words)) failWithMessageId(message::wrongParameterUsage, nullptr);
    logLine("adding options\n");
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == includeDirective && i + 1 < words.size()) {
            addVmOption(nullptr, words[i] + " " + words[i + 1], options, overrides);
            ++i;
        } else {
            addVmOption(nullptr, words[i], options, overrides);
        }
    }
    if (getIntValue(key::dashJArguments) == 0) return;
    for (const std::u16string& argument : arguments) {
        if (argument.size() < 2 || argument[0] != u'-' || argument[1] != u'J') continue;
        // Options are narrow text: what the code page cannot hold becomes "?".
        std::string option;
        wideToNarrow(std::u16string_view(argument).substr(2), option);
        addVmOption(nullptr, option, options, overrides);
    }
}

std::unique_ptr<OptionsFile> openDefaultVmOptionsFile() {
    const std::string longForm = longLauncherPath();
    // The last four characters are taken to be ".exe", whatever they are.
    std::string first = longForm.substr(0, longForm.size() >= 4 ? longForm.size() - 4 : 0) + ".vmoptions";
    std::unique_ptr<OptionsFile> file = os::files().openText(first);
    logLine("vmoptions: exe file: %s, long: %s, opts1: %s, file: %p", launcherPath().c_str(), longForm.c_str(),
            first.c_str(), handleOf(file));
    if (file) return file;
    std::string second = longForm + ".vmoptions";
    file = os::files().openText(second);
    logLine("vmoptions: opts2: %s, file: %p", second.c_str(), handleOf(file));
    return file;
}

void readVmOptionsFile(const char* includingFile, std::unique_ptr<OptionsFile> file, VmOptionList& options,
                       ClassPathOverrides& overrides) {
    if (!file) return;
    std::string line;
    while (file->readPiece(line, optionLineCapacity + 1)) {
        if (!optionFromLine(line)) continue;
        expandVariables(line);
        addVmOption(includingFile, line, options, overrides);
    }
}

void addVmOption(const char* includingFile, const std::string& option, VmOptionList& options,
                 ClassPathOverrides& overrides) {
    if (startsWith(option, includePrefix)) {
        includeFile(includingFile, option.substr(includePrefix.size()), options, overrides);
    } else if (startsWith(option, replacementPrefix)) {
        overrides.replacement = option.substr(replacementPrefix.size());
    } else if (startsWith(option, prependPrefix)) {
        overrides.prepend = option.substr(prependPrefix.size());
    } else if (startsWith(option, appendPrefix)) {
        overrides.append = option.substr(appendPrefix.size());
    } else {
        options.push_back(option);
    }
}

bool optionFromLine(std::string& piece) {
    while (!piece.empty() && (piece.back() == '\r' || piece.back() == '\n')) piece.pop_back();
    std::size_t first = piece.find_first_not_of(' ');
    if (first == std::string::npos) {
        piece.clear();
        return false;
    }
    piece = piece.substr(first, piece.find_last_not_of(' ') - first + 1);
    return piece[0] != '#';
}

void resetIncludedFilesForTesting() {
    includeDepth = 0;
    includedFiles = 0;
}

}  // namespace qarvo
