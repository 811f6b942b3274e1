// The diagnostic log: off unless the "QARVO_LOG" or "MORAVELIN_LOG" variable is
// "yes" or the log-creation switch was given. The first log call decides, once.
// Every line opens the file for appending, writes and closes it again, so the
// file on disk is complete even when the process dies a moment later.
#pragma once

#include <string>

#include "base/Format.h"

namespace qarvo {

// Path of the log file tried when no unique name could be created.
inline constexpr const char* fallbackLogPath = "c:\\mrv_nlog";

// One line: the formatted text and a line feed.
void logLine(const char* format, ...) QARVO_PRINTF(1, 2);
// One line beginning with "ERROR: ".
void logError(const char* format, ...) QARVO_PRINTF(1, 2);

// The log path when logging is on, else null. Asking does not open a log.
const char* logFilePath();

// The log-creation switch was on the command line; set before the first line.
void setCreateLogRequested();
bool createLogRequested();

// A new file name beginning with "mrv_nlog_" that no file uses yet, in the
// directory named by TMP when that is an existing directory, else in "c:\";
// empty when there is none.
std::string uniqueLogName();

// Asks, in a box captioned `caption`, whether Explorer should show the log
// file, and opens an Explorer window on it after "Yes".
void offerLogLocation(const char* caption);

// Forgets every decision (tests only).
void resetLogForTesting();

}  // namespace qarvo
