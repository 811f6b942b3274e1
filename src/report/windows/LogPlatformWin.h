#pragma once

#include "report/Log.h"

namespace qarvo {

// The log file's name (a free "mrv_nlog_<number>" in the TMP directory or
// "c:\"), GetModuleFileNameA and ctime for the diagnostic log.
class WindowsLogPlatform final : public LogPlatform {
public:
    std::string uniqueLogName() override;
    std::string moduleFileName() override;
    std::string localTimeText() override;
};

// Asks whether Explorer should show the log file, and opens it there on "yes".
void offerLogLocation(const char* caption);

}  // namespace qarvo
