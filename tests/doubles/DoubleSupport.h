// Small Win32 helpers shared by the test doubles: UTF-8 <-> UTF-16, paths of
// the running module, whole-file reads and line-at-a-time appends.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace doubles {

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string toUtf8(std::wstring_view text);
// UTF-8 to UTF-16; invalid sequences become U+FFFD.
std::wstring fromUtf8(std::string_view text);
// Bytes in the ANSI code page to UTF-8.
std::string ansiToUtf8(std::string_view text);

// Full path of the given module (NULL: the process's executable).
std::wstring modulePath(HMODULE module);
// The directory of a path, with its trailing backslash ("C:\a\b.exe" ->
// "C:\a\"); empty when the path has no backslash.
std::wstring directoryOf(const std::wstring& path);

// Reads a whole file. False when it cannot be opened or read.
bool readFileBytes(const std::wstring& path, std::string& bytes);
// Appends `line` and a "\n" to the file, creating it, in one write with the
// file opened for appending only and closed again, so that concurrent writers
// do not interleave within a line and a record survives the process being
// killed right after. False when the file cannot be opened or written.
bool appendLine(const std::wstring& path, std::string_view line);

// Writes bytes to one of the process's standard handles (STD_OUTPUT_HANDLE,
// STD_ERROR_HANDLE); nothing happens when the handle is missing.
void writeStd(DWORD which, std::string_view bytes);

// Removes trailing spaces, tabs, carriage returns and line feeds.
std::string_view trimRight(std::string_view text);

}  // namespace doubles
