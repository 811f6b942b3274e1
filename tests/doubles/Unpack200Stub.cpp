// Stand-in for a runtime's bin\unpack200.exe, started with the command line
// -r "<pack file>" "<target file>". It appends its whole command line as one
// line to unpack200-stub-record.txt beside the exe and writes the target file
// (the last quoted text), so that the archive, and after the last one the
// done marker, exist. Exit code 97 when the command line ends otherwise.
#include "DoubleSupport.h"

using namespace doubles;

int main() {
  const std::wstring line = GetCommandLineW();
  appendLine(directoryOf(modulePath(nullptr)) + L"unpack200-stub-record.txt", toUtf8(line));
  const size_t open = line.size() < 2 ? std::wstring::npos : line.rfind(L'"', line.size() - 2);
  if (line.empty() || line.back() != L'"' || open == std::wstring::npos) return 97;
  const std::wstring target = line.substr(open + 1, line.size() - open - 2);
  HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const bool ok = WriteFile(file, "unpacked", 8, &written, nullptr) && written == 8;
  CloseHandle(file);
  return ok ? 0 : 1;
}
