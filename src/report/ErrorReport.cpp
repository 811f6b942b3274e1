#include "report/ErrorReport.h"

#include <utility>

#include "base/PathHelpers.h"
#include "os/System.h"
#include "report/Log.h"

namespace qarvo {

namespace {

bool dialogs = true;
MessageTextSource textSource = nullptr;
BeforeMessageHook beforeMessage = nullptr;
// A message is being assembled or shown (or the out-of-memory report has begun).
bool reporting = false;

// The displayed text is assembled in a buffer of this size; longer texts are
// cut rather than overrun it.
constexpr std::size_t displayCapacity = 8192;

std::string messageText(std::int32_t id) { return textSource ? textSource(id) : std::string(); }

std::string withLogLocation(const std::string& text) {
    const char* path = logFilePath();
    if (!path) return text;
    std::string longForm;
    return text + "\n\nLog: " + (longPathName(path, longForm) ? longForm : std::string(path));
}

}  // namespace

void setMessageTextSource(MessageTextSource source) { textSource = source; }
void setBeforeMessageHook(BeforeMessageHook hook) { beforeMessage = hook; }

void setQuietErrors() { dialogs = false; }
bool showErrorDialogs() { return dialogs; }

std::string substituteArgument(const std::string& text, const char* argument) {
    if (!argument) return text;
    std::size_t at = text.find("{0}");
    if (at == std::string::npos) return text;
    return text.substr(0, at) + argument + text.substr(at + 3);
}

void showMessage(const std::string& text) {
    const bool outer = !std::exchange(reporting, true);
    if (beforeMessage) beforeMessage();
    std::string displayed = withLogLocation(text);
    if (displayed.size() >= displayCapacity) displayed.resize(displayCapacity - 1);
    if (dialogs) {
        os::dialogs().showError(displayed, messageText(message::caption));
    } else {
        os::console().writeStandardError(displayed);
    }
    if (outer) reporting = false;
}

void showMessageById(int id, const char* argument) { showMessage(substituteArgument(messageText(id), argument)); }

void failWithMessage(const std::string& text) {
    showMessage(text);
    exitWithCode(1);
}

void failWithMessageId(int id, const char* argument) {
    showMessageById(id, argument);
    exitWithCode(1);
}

void exitWithCode(int code) {
    os::processes().exitProcess(code);
    __builtin_unreachable();  // a virtual call is not known to end the process
}

void failOutOfMemory() {
    // Set before the message text is allocated, so that failing to allocate it
    // ends here instead of coming back.
    if (std::exchange(reporting, true)) exitWithCode(1);
    showMessage("Internal Error: out of memory");
    exitWithCode(1);
}

void resetErrorReportForTesting() {
    dialogs = true;
    textSource = nullptr;
    beforeMessage = nullptr;
    reporting = false;
}

}  // namespace qarvo
