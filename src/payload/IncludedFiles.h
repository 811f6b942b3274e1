// The included files: files carried in the launcher executable behind the
// configuration block, copied at every start into the launcher temporary
// directory under their stored relative names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "image/ByteSource.h"
#include "os/Files.h"

namespace qarvo {

// Results of the extraction operations.
namespace extraction {
constexpr int succeeded = 0;
constexpr int readFailed = 1;      // a content could not be read: the executable is cut short or unreadable
constexpr int writeFailed = 2;     // a content could not be written (disk full)
constexpr int sectionTooLong = 3;  // the section would end beyond a 32-bit signed offset
}  // namespace extraction

// Bytes copied per read and write, through one buffer allocated per file: far
// fewer system calls than 8 KiB, and with them a large file extracts about as
// fast as CopyFileA copies it. A failure line's count is at most this.
constexpr std::size_t copyBufferSize = 256 * 1024;

// The highest offset the end of the section may have: it reaches the Java
// side as a 32-bit signed value.
constexpr std::uint64_t highestSectionEnd = INT32_MAX;

// The launcher executable and the offset of the next byte to read, which
// every read advances.
struct IncludedFilesSource {
    ByteSource& file;
    std::uint64_t position;
};

// Extracts the files named by keys 2002 (count) and 2003 (";"-separated names)
// from the section at blockEndOffset() into launcherTempDirectory(), creating
// that directory first when `createDirectory` is true; with a count of 0 it
// only empties launcherTempDirectory() (when `createDirectory` is true) and
// opens nothing. A name the launcher refuses (image/IncludedFileNames.h) ends
// the process with message 1009 "11" after the directory has been emptied and
// removed, before anything is extracted; so does a file that cannot be
// created (without clean-up). Returns succeeded, or readFailed, writeFailed
// or sectionTooLong after the directory has been emptied and removed.
int extractIncludedFiles(bool createDirectory);

// Reads one entry at `source` and writes its content to `path` (replacing a
// file of that name); a length of 0 or less writes no file. A length cut short
// ends the process ("Internal Error: readLong"), a file that cannot be created
// with message 1009 "11". Returns what copyContent returns.
int extractFile(IncludedFilesSource& source, const std::string& path);

enum class Unscramble : bool { no, yes };

// Copies `length` bytes from `source` to `target`, through a buffer of
// copyBufferSize bytes, undoing the section's scrambling when `unscramble` is
// yes. succeeded; readFailed when a read fails or delivers nothing; writeFailed
// when a write fails or writes nothing. Each failure logs its error line.
int copyContent(IncludedFilesSource& source, os::WritableFile& target, std::int64_t length, Unscramble unscramble);

// The offset in the executable just behind the last entry extracted; 0 when
// there are no included files.
std::int32_t extractionEndPosition();

// Sets what extractionEndPosition() gives (tests only; 0 is the state at
// process start).
void setExtractionEndPositionForTesting(std::int32_t position);

}  // namespace qarvo
