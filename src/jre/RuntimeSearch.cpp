#include "jre/RuntimeSearch.h"

#include "report/ErrorReport.h"
#include "report/Log.h"

namespace qarvo {

// The search sources are not wired in yet, so no runtime is found: the user
// gets the "no runtime" message and the launcher ends with code 83.
bool LoadDLL(bool reportErrors) {
    logLine("Searching for a JVM");
    logLine("Search sequence finished");
    logError("No JVM found");
    if (reportErrors) showMessageById(message::noRuntimeFound, "32");
    return false;
}

}  // namespace qarvo
