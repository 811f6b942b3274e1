#include "report/Log.h"

#include <cstdio>

#include "os/Environment.h"

namespace qarvo {

namespace {

struct LogState {
    bool initialised = false;
    bool hasPath = false;
    std::string path;
    std::FILE* stream = nullptr;
    bool createRequested = false;
};
LogState state;
LogPlatform* platform = nullptr;

bool variableIsYes(const char* name) {
    std::string value;
    return environment().get(name, value) && value == "yes";
}

// Opens the stream for one line; takes the enable decision on the first call.
void openLog() {
    if (state.hasPath && !state.stream) {
        state.stream = std::fopen(state.path.c_str(), "a");
    }
    if (state.initialised) return;
    state.initialised = true;

    bool enabled = state.createRequested || variableIsYes("QARVO_LOG") || variableIsYes("MORAVELIN_LOG");
    if (!enabled || !platform) return;

    state.path = platform->uniqueLogName();
    if (!state.path.empty()) {
        state.hasPath = true;
        state.stream = std::fopen(state.path.c_str(), "w");
    }
    if (!state.stream) {
        // The fallback path is set before the attempt, so that messages name it
        // even when it cannot be created either.
        state.path = fallbackLogPath;
        state.hasPath = true;
        state.stream = std::fopen(state.path.c_str(), "w");
        if (!state.stream) return;
    }
    std::string header = formatText("Started executable %s at %s\n", platform->moduleFileName().c_str(),
                                     platform->localTimeText().c_str());
    std::fputs(header.c_str(), state.stream);
    std::fflush(state.stream);
}

void writeLine(const char* prefix, const char* format, std::va_list args) {
    openLog();
    if (!state.stream) return;
    std::string text = formatTextV(format, args);
    std::fputs(prefix, state.stream);
    std::fputs(text.c_str(), state.stream);
    std::fputs("\n", state.stream);
    std::fclose(state.stream);
    state.stream = nullptr;
}

}  // namespace

void installLogPlatform(LogPlatform& p) { platform = &p; }

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

void resetLogForTesting() {
    if (state.stream) std::fclose(state.stream);
    state = LogState{};
}

}  // namespace qarvo
