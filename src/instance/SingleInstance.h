// One running instance per launcher path. Launcher processes of the same
// executable find each other through a named semaphore: the first one holds it
// for its whole life and records its process id in the registry; a later one
// raises the first one's windows, hands its arguments over in a notification
// file (instance/Notification.h), waits until they are taken and ends.
#pragma once

#include <cstdint>
#include <string>

namespace qarvo {

// The start-up step. With `honourConfiguration` false single-instance mode
// applies whatever key 10005 says; with `notifyRunningInstance` false a later
// instance only raises the first one's windows. Returns only when this
// process goes on starting (the first instance, or single-instance mode off,
// where the semaphore gets the lowest free counter as its name). A later
// instance ends the process inside the call: with exit code 0 once its
// arguments are handed over (or the first instance has gone), with message
// 1009 ("21": no notification file could be created, "22": it could not be
// written).
void runSingleInstanceCheck(bool honourConfiguration, bool notifyRunningInstance);

// Name of this process's semaphore once the check has run; null before (and on
// a language restart, which skips the check). Lives as long as the process.
const char* semaphoreName();

// The launcher's absolute path in lower case: the registry value name, and,
// with every "\" turned into "_", the semaphore name.
std::string instanceKeyName();

// Records this process as the running instance: below HKCU, key
// "SOFTWARE\tarnwell\qarvo\pids\" (the trailing backslash as written),
// value instanceKeyName(), REG_DWORD process id. Failures are ignored.
void writeInstancePid();
// The recorded process id; 0 when the key or value is missing or the value
// does not have exactly 4 bytes (its type is not looked at).
std::uint32_t readInstancePid();

// Whether the instance semaphore still exists. Asking creates it for a moment
// when it does not, so the answer is false only when the first instance has
// ended.
bool isFirstInstanceAlive();

// Forgets the name and closes the semaphore this process holds (tests only).
void resetSingleInstanceForTesting();

}  // namespace qarvo
