// Consoles and the C runtime's standard streams.
#pragma once

#include <cstdint>
#include <string>

namespace qarvo::os {

class Console {
public:
    virtual ~Console() = default;
    // Whether kernel32 has AttachConsole (systems before Windows XP lack it).
    virtual bool canAttach() = 0;
    // AttachConsole(ATTACH_PARENT_PROCESS). False with the system error.
    virtual bool attachToParent(std::uint32_t& error) = 0;
    // AllocConsole: true when a new console was created.
    virtual bool allocate() = 0;
    // GetConsoleOutputCP (0 without a console).
    virtual std::uint32_t outputCodePage() = 0;
    // `text` and a line feed on the standard error stream, flushed.
    virtual void writeStandardError(const std::string& text) = 0;
    // `text` as it is on the standard output stream, flushed.
    virtual void writeStandardOutput(const std::string& text) = 0;
};

}  // namespace qarvo::os
