#include "report/windows/ErrorSinkWin.h"

#include <windows.h>

#include <cstdio>

namespace qarvo {

void WindowsErrorSink::showMessageBox(const std::string& text, const std::string& caption) {
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_ICONERROR);
}

void WindowsErrorSink::writeStandardError(const std::string& text) {
    std::fputs(text.c_str(), stderr);
    std::fputs("\n", stderr);
    std::fflush(stderr);
}

void WindowsErrorSink::exitProcess(int code) { ExitProcess(static_cast<UINT>(code)); }

}  // namespace qarvo
