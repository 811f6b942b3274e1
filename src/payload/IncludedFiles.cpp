#include "payload/IncludedFiles.h"

#include <cinttypes>
#include <memory>
#include <span>
#include <vector>

#include "base/CodePage.h"
#include "base/Format.h"
#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "config/ReadConfiguration.h"
#include "image/ConfigBlock.h"
#include "image/IncludedFileNames.h"
#include "image/IncludedFilesSection.h"
#include "os/System.h"
#include "payload/Cleanup.h"
#include "payload/TempDirectories.h"
#include "report/ErrorReport.h"
#include "report/Log.h"

namespace qarvo {

namespace {

std::int32_t endPosition = 0;

bool isLeadByte(unsigned char byte) { return os::codePage().isLeadByte(byte); }

// What every failure after the directory exists leaves: the directory emptied
// and, when that emptied it, removed.
void removeExtractedFiles() {
    emptyDirectory(launcherTempDirectory());
    os::files().removeDirectory(launcherTempDirectory());
}

// The length field of the next entry, as the configuration reader's readLong
// reads it: a field cut short ends the process.
std::int64_t readLength(IncludedFilesSource& source) {
    IncludedFilesReader reader(source.file, source.position);
    std::int64_t length = 0;
    if (!reader.nextEntry(length)) {
        logLine("error %d\n", static_cast<int>(reader.error()));
        failWithMessage(configReadFailureMessage(ConfigReadFailure::readLong));
    }
    source.position = reader.position();
    return length;
}

// WriteFile until every byte is written. A call that fails, or succeeds
// without writing anything (which would repeat for ever), is a failure.
bool writeAll(os::WritableFile& target, const std::uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        const os::IoResult written = target.write(bytes, size);
        if (!written.ok || written.bytes == 0 || written.bytes > size) {
            logError("WriteFile failed %d %d", static_cast<int>(size), static_cast<int>(written.error));
            return false;
        }
        bytes += written.bytes;
        size -= written.bytes;
    }
    return true;
}

// Refuses the start when a name could write outside the directory or into a
// device; the build tool refuses such names too, but the block is not trusted.
void refuseUnsafeNames(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (includedNameProblem(name, isLeadByte) == IncludedNameProblem::none) continue;
        logError("refusing included file name %s", name.c_str());
        removeExtractedFiles();
        failWithMessageId(message::internalError, "11");
    }
}

// The directory of a name with a "\": only its first level is created.
void createFirstDirectoryLevel(const std::string& name) {
    const std::size_t backslash = firstBackslash(name);
    if (backslash == std::string::npos) return;
    const std::string directory =
        formatText("%s\\%.*s", launcherTempDirectory().c_str(), static_cast<int>(backslash), name.c_str());
    logLine("creating directory %s", directory.c_str());
    std::uint32_t error = 0;
    if (!os::files().createDirectory(directory, error) && error != os::errorAlreadyExists) {
        logError("failed to create directory %s", directory.c_str());
    }
}

// Where the entries of `entries` files from `start` end as their lengths
// declare (8 bytes and the positive length each), walking only as far as
// `limit`: the first end beyond it is returned at once. When a length cannot
// be read, where the walk stopped; the extraction meets that failure itself.
// Reads the 8 length bytes of each entry walked, no content.
std::uint64_t declaredSectionEnd(ByteSource& file, std::uint64_t start, std::size_t entries, std::uint64_t limit) {
    std::uint64_t end = start;
    for (std::size_t i = 0; i < entries && end <= limit; ++i) {
        IncludedFilesReader reader(file, end);
        std::int64_t length = 0;
        if (!reader.nextEntry(length)) break;
        // No overflow: end <= limit, and a length is below 2^63.
        end = reader.position() + (length > 0 ? static_cast<std::uint64_t>(length) : 0);
    }
    return end;
}

}  // namespace

int extractIncludedFiles(bool createDirectory) {
    logLine("extracting files");
    const std::int32_t count = getIntValue(key::includedFileCount);
    logLine("Included files: %d", static_cast<int>(count));
    if (count == 0) {
        if (createDirectory) setLauncherTempDirectory("");
        return extraction::succeeded;
    }
    if (createDirectory) createLauncherTempDirectory();
    std::unique_ptr<os::ReadableFile> executable = openOwnExecutableOrFail();
    IncludedFilesSource source{*executable, blockEndOffset()};
    const std::string namesText = getStringValue(key::includedFileNames, valueCapacity);
    const std::vector<std::string> names = includedNamesToProcess(namesText, count);

    refuseUnsafeNames(names);
    const std::uint64_t declaredEnd = declaredSectionEnd(source.file, source.position, names.size(), highestSectionEnd);
    if (declaredEnd > highestSectionEnd) {
        logError("included files end at offset %" PRIu64 ", beyond %d", declaredEnd, static_cast<int>(INT32_MAX));
        removeExtractedFiles();
        return extraction::sectionTooLong;
    }

    for (const std::string& name : names) {
        createFirstDirectoryLevel(name);
        const std::string path = formatText("%s\\%s", launcherTempDirectory().c_str(), name.c_str());
        const int result = extractFile(source, path);
        if (result != extraction::succeeded) {
            logError("Failed to extract %s", path.c_str());
            removeExtractedFiles();
            return result;
        }
    }
    // At most highestSectionEnd: every entry read was walked above.
    endPosition = static_cast<std::int32_t>(source.position);
    executable.reset();
    logLine("extracting files done");
    return extraction::succeeded;
}

int extractFile(IncludedFilesSource& source, const std::string& path) {
    const std::int64_t length = readLength(source);
    logLine("extracting %s (size: %" PRId64 ")", path.c_str(), length);
    if (length <= 0) return extraction::succeeded;
    std::uint32_t error = 0;
    std::unique_ptr<os::WritableFile> file = os::files().create(path, os::Files::Creation::replace, error);
    if (!file) failWithMessageId(message::internalError, "11");
    return copyContent(source, *file, length, Unscramble::yes);
}

int copyContent(IncludedFilesSource& source, os::WritableFile& target, std::int64_t length, Unscramble unscramble) {
    const std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[copyBufferSize]);
    std::int64_t copied = 0;
    while (copied < length) {
        const std::uint64_t missing = static_cast<std::uint64_t>(length - copied);
        const std::size_t want = missing < copyBufferSize ? static_cast<std::size_t>(missing) : copyBufferSize;
        const os::IoResult read = source.file.readAt(source.position, buffer.get(), want);
        if (!read.ok || read.bytes == 0) {
            logError("ReadFile failed %d %d %" PRId64, static_cast<int>(read.bytes), static_cast<int>(read.error),
                     copied);
            return extraction::readFailed;
        }
        const std::size_t delivered = read.bytes < want ? read.bytes : want;
        source.position += delivered;
        if (unscramble == Unscramble::yes) scrambleIncludedBytes(std::span<std::uint8_t>(buffer.get(), delivered));
        if (!writeAll(target, buffer.get(), delivered)) return extraction::writeFailed;
        copied += static_cast<std::int64_t>(delivered);
    }
    return extraction::succeeded;
}

std::int32_t extractionEndPosition() { return endPosition; }

void setExtractionEndPositionForTesting(std::int32_t position) { endPosition = position; }

}  // namespace qarvo
