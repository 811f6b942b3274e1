// The build tool's one seam to the host system: files, the terminal, the
// environment and the tool's own location. Everything else of the tool is
// portable code over this interface; HostSystem.cpp is the only file that
// calls the operating system, and tests put a wrapper around it to make
// writes fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "image/ByteSource.h"

namespace qarvo::builder {

// A file being read: a ByteSource over it.
class InputFile : public ByteSource {};

// A file being written. Nothing of it is visible under its final name until
// commit() succeeds; destroying it uncommitted removes what was written.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    // Appends `size` bytes; false with a message in `error` when they could not be written.
    virtual bool write(const void* bytes, std::size_t size, std::string& error) = 0;
    // Overwrites bytes already written, at `offset` from the start.
    virtual bool patch(std::uint64_t offset, const void* bytes, std::size_t size, std::string& error) = 0;
    // Flushes, closes and renames the file to its final name, replacing a file
    // of that name.
    virtual bool commit(std::string& error) = 0;
};

class Host {
public:
    virtual ~Host() = default;
    // Opens a file for reading; null with a message in `error` when it cannot be opened.
    virtual std::unique_ptr<InputFile> openInput(const std::string& path, std::string& error) = 0;
    // Reads a whole file; false with a message when it cannot be read.
    virtual bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) = 0;
    // Starts writing `path` through a temporary file beside it; makes the
    // directory of `path` when it is missing.
    virtual std::unique_ptr<OutputFile> createOutput(const std::string& path, std::string& error) = 0;
    // Size in bytes of an existing regular file; nothing when it is missing or not a file.
    virtual std::optional<std::uint64_t> fileSize(const std::string& path) = 0;
    virtual bool isDirectory(const std::string& path) = 0;
    // True when both paths name one existing file, however spelt (links and
    // relative forms included).
    virtual bool sameFile(const std::string& a, const std::string& b) = 0;
    virtual std::optional<std::string> environment(const std::string& name) = 0;
    // True when standard error is a terminal (progress is shown there only).
    virtual bool standardErrorIsTerminal() = 0;
    // Writes to standard error as it is (progress bars, messages).
    virtual void writeStandardError(const std::string& text) = 0;
    // Directory that holds the running tool, or empty when it cannot be found.
    virtual std::string toolDirectory() = 0;
};

// The real host.
Host& realHost();

// The program's arguments as UTF-8 (on Windows taken from the wide command
// line, as `argv` holds them in the ANSI code page).
std::vector<std::string> utf8Arguments(int argc, char** argv);

}  // namespace qarvo::builder
