#include "launcher/StartupArguments.h"

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "report/ErrorReport.h"
#include "report/Log.h"

namespace qarvo {

namespace {
char kind = '\0';
}  // namespace

bool removeLogSwitch(ArgumentList& list) {
    if (list.size() < 2) return false;
    const std::u16string& first = list[1];
    if (first != u"-create-mrv-log" && first != u"-create-qvo-log" && first != u"/create-mrv-log" &&
        first != u"/create-qvo-log") {
        return false;
    }
    list.erase(list.begin() + 1);
    setCreateLogRequested();
    return true;
}

void selectLauncherKind() {
    char buffer[key::launcherKindCapacity];
    getStringValue(key::launcherKind, buffer, sizeof buffer);
    kind = buffer[0];
}

char launcherKind() { return kind; }
const char* builderName() { return kind == 'e' ? "qarvo" : "moravelin"; }

void applyLauncherTypeRule() {
    int type = getIntValue(key::applicationType);
    if (type != 1 && type != 5) setQuietErrors();
}

}  // namespace qarvo
