// Stand-in for a runtime's java.exe / javaw.exe. Everything it does is scripted
// by files beside whichever copy of it runs:
//   java-stub-record.txt    one line appended per run: "<own path>\t<command line>" (UTF-8)
//   java-stub-stderr.txt    bytes copied verbatim to the standard error handle
//   java-stub-sleep.txt     milliseconds to sleep before exiting
//   java-stub-exitcode.txt  the exit code in decimal (absent: 0)
#include "DoubleSupport.h"

#include <cstdlib>
#include <string>

using namespace doubles;

namespace {

// The decimal number in a file beside the stub, or `fallback` when the file is
// absent or holds no number.
long numberFromFile(const std::wstring& path, long fallback) {
  std::string text;
  if (!readFileBytes(path, text)) return fallback;
  text = std::string(trimRight(text));
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  return end == text.c_str() ? fallback : value;
}

}  // namespace

int main() {
  std::wstring self = modulePath(nullptr);
  std::wstring dir = directoryOf(self);

  std::string line = toUtf8(self) + "\t" + toUtf8(GetCommandLineW());
  if (!appendLine(dir + L"java-stub-record.txt", line))
    writeStd(STD_ERROR_HANDLE, "java stub: cannot append to java-stub-record.txt\n");

  std::string stderrBytes;
  if (readFileBytes(dir + L"java-stub-stderr.txt", stderrBytes))
    writeStd(STD_ERROR_HANDLE, stderrBytes);

  long sleepMs = numberFromFile(dir + L"java-stub-sleep.txt", 0);
  if (sleepMs > 0) Sleep(DWORD(sleepMs));

  ExitProcess(UINT(numberFromFile(dir + L"java-stub-exitcode.txt", 0)));
}
