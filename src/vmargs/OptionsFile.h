// Text files of VM options (".vmoptions"), read line by line the way the C
// runtime's fgets reads a file opened with mode "rt".
#pragma once

#include <memory>
#include <string>

namespace qarvo {

// Longest piece of a line one read returns: the 8192-byte line buffer less its
// terminator. A longer physical line arrives in several pieces.
constexpr std::size_t optionLineCapacity = 8191;

class OptionsFile {
public:
    virtual ~OptionsFile() = default;
    // The next piece of the file as fgets gives it into an 8192-byte buffer:
    // up to and including the next line feed, at most optionLineCapacity
    // characters. False at the end of the file.
    virtual bool readPiece(std::string& piece) = 0;
    // The handle to show in log lines ("%p").
    virtual const void* handle() const = 0;
};

class OptionsFileOpener {
public:
    virtual ~OptionsFileOpener() = default;
    // Opens `path` for reading in text mode; null when it cannot be opened.
    virtual std::unique_ptr<OptionsFile> open(const std::string& path) = 0;
};

// The installed opener. Until another is installed it is the C runtime's
// fopen(path, "rt"), which on Windows takes the path in the code page of the
// file functions and turns CR LF into LF.
OptionsFileOpener& optionsFiles();
void installOptionsFileOpener(OptionsFileOpener& opener);
// Back to the C runtime's files.
void installStandardOptionsFiles();

// The handle a log line shows for `file`: null when there is none.
inline const void* handleOf(const std::unique_ptr<OptionsFile>& file) { return file ? file->handle() : nullptr; }

}  // namespace qarvo
