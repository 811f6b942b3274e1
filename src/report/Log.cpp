#include "report/Log.h"

#include <memory>

#include "base/CodePage.h"
#include "os/System.h"

namespace qarvo {

namespace {

struct LogState {
    bool initialised = false;
    bool hasPath = false;
    std::string path;
    std::unique_ptr<os::TextWriter> stream;
    bool createRequested = false;
};
LogState state;

bool variableIsYes(const char* name) {
    std::string value;
    return os::environment().get(name, value) && value == "yes";
}

bool isDirectory(const std::string& path) {
    std::uint32_t attributes = 0, error = 0;
    return os::files().attributes(path, attributes, error) && (attributes & os::attributeDirectory) != 0;
}

// Opens the stream for one line; takes the enable decision on the first call.
void openLog() {
    if (state.hasPath && !state.stream) state.stream = os::files().writeText(state.path, true);
    if (state.initialised) return;
    state.initialised = true;

    bool enabled = state.createRequested || variableIsYes("QARVO_LOG") || variableIsYes("MORAVELIN_LOG");
    if (!enabled) return;

    state.path = uniqueLogName();
    if (!state.path.empty()) {
        state.hasPath = true;
        state.stream = os::files().writeText(state.path, false);
    }
    if (!state.stream) {
        // The fallback path is set before the attempt, so that messages name it
        // even when it cannot be created either.
        state.path = fallbackLogPath;
        state.hasPath = true;
        state.stream = os::files().writeText(state.path, false);
        if (!state.stream) return;
    }
    state.stream->write(formatText("Started executable %s at %s\n", os::libraries().moduleFileName().c_str(),
                                   os::machine().localTimeText().c_str()));
    state.stream->flush();
}

void writeLine(const char* prefix, const char* format, std::va_list args) {
    openLog();
    if (!state.stream) return;
    state.stream->write(prefix);
    state.stream->write(formatTextV(format, args));
    state.stream->write("\n");
    state.stream.reset();
}

}  // namespace

void logLine(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    writeLine("", format, args);
    va_end(args);
}

void logError(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    writeLine("ERROR: ", format, args);
    va_end(args);
}

const char* logFilePath() { return state.hasPath ? state.path.c_str() : nullptr; }

void setCreateLogRequested() { state.createRequested = true; }
bool createLogRequested() { return state.createRequested; }

std::string uniqueLogName() {
    // The C runtime's _tempnam picks the directory this way too, but some
    // runtimes keep only three characters of the prefix; the log's name must
    // begin with "mrv_nlog_" wherever it runs.
    std::string directory = "c:\\";
    std::string tmp;
    if (os::environment().get("TMP", tmp) && !tmp.empty() && tmp.size() < 260 && isDirectory(tmp)) {
        directory = tmp;
        if (!endsWithBackslash(directory) && directory.back() != '/') directory += '\\';
    }
    // A free name: the number starts from the process id and counts up. The
    // name is reserved by creating the file, so that two launchers started at
    // the same moment, whose numbers meet behind names taken by earlier runs,
    // never write into one log.
    const unsigned start = os::processes().currentProcessId() * 16u;
    for (unsigned i = 0; i < 4096; ++i) {
        std::string candidate = formatText("%smrv_nlog_%u", directory.c_str(), start + i);
        std::uint32_t error = 0;
        if (os::files().create(candidate, os::Files::Creation::createNew, error)) return candidate;
        // Where no file can be made at all the name is as good as any: the
        // log's own open fails there too and takes the fallback.
        if (error != os::errorFileExists && error != os::errorAlreadyExists) return candidate;
    }
    return std::string();
}

void offerLogLocation(const char* caption) {
    const char* path = logFilePath();
    if (!path) return;
    std::string question = formatText(
        "The following log file will be created:\n\n%s\n\nDo you want to open an Explorer window?", path);
    if (!os::dialogs().askYesNo(question, caption)) return;

    // Both into buffers of MAX_PATH (260) bytes, as Explorer's command line is.
    std::string shortPath;
    if (!os::files().shortPathName(path, 260, shortPath)) shortPath = std::string(path).substr(0, 259);
    std::string windowsDirectory = os::files().windowsDirectory();
    if (windowsDirectory.size() >= 260) windowsDirectory.clear();

    std::string command = formatText("%s\\explorer.exe /select,%s", windowsDirectory.c_str(), shortPath.c_str());
    logLine("calling %s", command.c_str());
    std::uint32_t error = 0;
    if (!os::processes().startExplorer(command, error)) {
        logLine("could not open explorer window %d", static_cast<int>(error));
    }
}

void resetLogForTesting() { state = LogState{}; }

}  // namespace qarvo
