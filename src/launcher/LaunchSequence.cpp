#include "launcher/LaunchSequence.h"

#include <cstring>

#include "report/ErrorReport.h"

namespace qarvo {

namespace {
bool restart = false;

bool startsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}
}  // namespace

TailRequest classifyTail(const char* tail) {
    TailRequest request;
    if (!tail) return request;
    request.reboot = std::strcmp(tail, "__mrv_reboot") == 0;
    request.languageRestart = startsWith(tail, "__mrv_lang_restart");
    request.quietErrors = startsWith(tail, "-q_mrv_internal");
    return request;
}

bool languageRestart() { return restart; }
void setLanguageRestart(bool value) { restart = value; }

void applyConsoleSwitches(const ArgumentList& list, bool quietSwitches, ConsoleControl& console) {
    for (const std::u16string& element : list) {
        if (quietSwitches && element == u"-q") {
            setQuietErrors();
        } else if (element == u"-console") {
            console.obtainConsole();
        } else if (quietSwitches && element == u"-c") {
            setQuietErrors();
            if (!console.obtainConsole()) console.consoleUnavailable();
            return;
        }
    }
}

}  // namespace qarvo
