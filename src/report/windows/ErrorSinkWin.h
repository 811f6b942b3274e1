#pragma once

#include "report/ErrorReport.h"

namespace qarvo {

// Message boxes, the C runtime's standard error stream and ExitProcess.
class WindowsErrorSink final : public ErrorSink {
public:
    void showMessageBox(const std::string& text, const std::string& caption) override;
    void writeStandardError(const std::string& text) override;
    [[noreturn]] void exitProcess(int code) override;
};

}  // namespace qarvo
