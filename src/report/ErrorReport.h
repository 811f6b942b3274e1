// Failures the user must hear about: the configured message text with its
// argument and the log location, in a message box or on standard error. The
// ending operations never return.
#pragma once

#include <cstdint>
#include <string>

namespace qarvo {

// Message ids: configuration keys whose values are the message texts.
namespace message {
constexpr int caption = 1000;
constexpr int jvmNotStarted = 1005;
constexpr int classPathEntryMissing = 1006;
constexpr int wrongParameterUsage = 1007;
constexpr int variableUndefined = 1008;
constexpr int internalError = 1009;
constexpr int mainClassNotLoaded = 1010;
constexpr int mainMethodNotFound = 1011;
constexpr int noTempDirectory = 1015;
constexpr int noRuntimeFound = 1016;
constexpr int variableRuntimeBroken = 1017;     // 1018 in the 64-bit launcher
constexpr int variableRuntimeBroken64 = 1018;
constexpr int locationRuntimeBroken = 1019;     // 1020 in the 64-bit launcher
constexpr int locationRuntimeBroken64 = 1020;
}  // namespace message

// Where the texts of message ids (and the caption, id 1000) come from: the
// configuration installs its getter; until then every id has the empty text,
// as before the configuration block has been read.
using MessageTextSource = std::string (*)(std::int32_t id);
void setMessageTextSource(MessageTextSource source);

// Runs first whenever a message is about to be shown, fatal or not (the splash
// screen closes itself there). Null: nothing runs.
using BeforeMessageHook = void (*)();
void setBeforeMessageHook(BeforeMessageHook hook);

// From now on messages go to standard error. There is no way back.
void setQuietErrors();
bool showErrorDialogs();

// `text` with its first "{0}" replaced by `argument`; with a null argument the
// text is unchanged.
std::string substituteArgument(const std::string& text, const char* argument);

void showMessage(const std::string& text);
void showMessageById(int id, const char* argument);
[[noreturn]] void failWithMessage(const std::string& text);
[[noreturn]] void failWithMessageId(int id, const char* argument);
[[noreturn]] void exitWithCode(int code);

// An allocation failed: failWithMessage("Internal Error: out of memory").
// Showing a message allocates too: when memory runs out while one is being
// shown (this one included), the process ends with exit code 1 at once. The
// start-up sequence installs it as the out-of-memory handler.
[[noreturn]] void failOutOfMemory();

// Back to dialogs, no text source, no hook and no report in progress (tests
// only).
void resetErrorReportForTesting();

}  // namespace qarvo
