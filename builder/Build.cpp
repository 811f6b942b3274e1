#include "builder/Build.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "builder/ConfigFile.h"
#include "builder/ContentHash.h"
#include "builder/Progress.h"
#include "builder/Template.h"
#include "image/ApplicationResources.h"
#include "image/ConfigBlock.h"
#include "image/IncludedFilesSection.h"
#include "image/LauncherImage.h"
#include "image/LittleEndian.h"
#include "image/PeLayout.h"

namespace qarvo::builder {

namespace {

// Included files stream through a buffer of this size: memory stays flat
// whatever their size.
constexpr std::size_t copyChunk = 1 << 20;
// Included files together larger than this show a progress bar on a terminal.
constexpr std::uint64_t progressThreshold = 4u << 20;

// The output being written: every byte also goes into the content hash and
// the PE checksum, so that neither needs the file read again.
class HashedOutput {
public:
    HashedOutput(OutputFile& file, std::string& error) : file_(file), error_(error) {}
    bool write(const std::uint8_t* bytes, std::size_t size) {
        hash_.add(bytes, size);
        checksum_.add({bytes, size});
        written_ += size;
        return file_.write(bytes, size, error_);
    }
    bool write(const std::vector<std::uint8_t>& bytes) { return write(bytes.data(), bytes.size()); }
    // Scrambles `bytes` for the included-files section and writes them. Slice
    // by slice, so that the hash and the checksum read each slice while it is
    // still in the processor's cache after the scrambling.
    bool writeScrambled(std::uint8_t* bytes, std::size_t size) {
        constexpr std::size_t slice = 16 << 10;
        for (std::size_t at = 0; at < size; at += slice) {
            const std::size_t length = std::min(slice, size - at);
            scrambleIncludedBytes({bytes + at, length});
            hash_.add(bytes + at, length);
            checksum_.add({bytes + at, length});
        }
        written_ += size;
        return file_.write(bytes, size, error_);
    }
    // Overwrites zeros written before; the checksum follows, the content hash does not.
    bool patch(std::uint64_t offset, const std::uint8_t* bytes, std::size_t size) {
        checksum_.addPatch(offset, {bytes, size});
        return file_.patch(offset, bytes, size, error_);
    }
    std::uint64_t written() const { return written_; }
    std::uint32_t hash() const { return hash_.value32(); }
    std::uint32_t checksum() const { return checksum_.value(); }

private:
    OutputFile& file_;
    std::string& error_;
    ContentHash hash_;
    PeChecksumAccumulator checksum_;
    std::uint64_t written_ = 0;
};

// Streams one included file: its length, then its bytes scrambled.
bool writeIncludedFile(const IncludedFile& file, Host& host, HashedOutput& out, Progress& progress,
                       std::vector<std::uint8_t>& buffer, std::string& error) {
    std::unique_ptr<InputFile> input = host.openInput(file.source, error);
    if (!input) return false;
    const auto header = encodeIncludedFileHeader(static_cast<std::int64_t>(file.size));
    if (!out.write(header.data(), header.size())) return false;
    std::uint64_t done = 0;
    while (done < file.size) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), file.size - done));
        const ByteSource::Result read = input->readAt(done, buffer.data(), want);
        if (!read.ok || read.bytes == 0) {
            error = "cannot read " + file.source + (read.ok ? ": it became shorter while the exe was built" : "");
            return false;
        }
        if (!out.writeScrambled(buffer.data(), read.bytes)) return false;
        done += read.bytes;
        progress.advance(read.bytes);
    }
    std::uint8_t extra = 0;
    if (input->readAt(done, &extra, 1).bytes != 0) {
        error = "cannot read " + file.source + ": it became longer while the exe was built";
        return false;
    }
    return true;
}

// The template as the exe carries it: the COFF time stamp set from
// SOURCE_DATE_EPOCH when that is given, the checksum field zero until the
// checksum of the whole exe is known.
bool stampTemplate(std::vector<std::uint8_t>& image, Host& host, std::uint32_t& checkSumOffset, std::string& error) {
    PeImage pe;
    if (!parsePeImage(image, pe, error)) return false;
    checkSumOffset = pe.checkSumOffset;
    writeLittleEndian(image.data() + checkSumOffset, 0, 4);
    const std::optional<std::string> epoch = host.environment("SOURCE_DATE_EPOCH");
    if (!epoch) return true;
    char* end = nullptr;
    const unsigned long long seconds = std::strtoull(epoch->c_str(), &end, 10);
    if (epoch->empty() || *end != '\0' || seconds > 0xFFFFFFFFull) {
        error = "SOURCE_DATE_EPOCH=" + *epoch + " is no time in seconds that the exe's header can hold";
        return false;
    }
    writeLittleEndian(image.data() + pe.peOffset + pe::timeDateStampField, seconds, 4);
    return true;
}

bool writeExe(const BuildPlan& plan, std::vector<std::uint8_t> image, std::uint32_t checkSumOffset, Host& host,
              std::string& error) {
    std::unique_ptr<OutputFile> file = host.createOutput(plan.output, error);
    if (!file) return false;
    HashedOutput out(*file, error);
    // The opaque header word stays 0 while the content is hashed, and then
    // becomes the hash.
    const std::uint64_t wordOffset = image.size() + configBlockOpaqueWordField;
    ConfigBlockContent block = plan.block;
    block.opaqueHeaderWord = 0;
    if (!out.write(image) || !out.write(encodeConfigurationBlock(block))) return false;
    std::uint64_t total = 0;
    for (const IncludedFile& included : plan.includedFiles) total += included.size;
    Progress progress(host, total, total > progressThreshold && host.standardErrorIsTerminal());
    std::vector<std::uint8_t> buffer(plan.includedFiles.empty() ? 0 : copyChunk);
    for (const IncludedFile& included : plan.includedFiles) {
        progress.start(included.name);
        if (!writeIncludedFile(included, host, out, progress, buffer, error)) return false;
    }
    progress.finish();
    if (plan.includedFiles.empty() && !out.write(closingTail(out.written()))) return false;
    std::uint8_t word[4];
    writeLittleEndian(word, out.hash(), 4);
    if (!out.patch(wordOffset, word, sizeof word)) return false;
    // The checksum of the whole file, block and included files with it.
    writeLittleEndian(word, out.checksum(), 4);
    return out.patch(checkSumOffset, word, sizeof word) && file->commit(error);
}

// A copy of `from` written to `to` and not yet committed: null with a
// message when it could not be made.
std::unique_ptr<OutputFile> uncommittedCopy(const std::string& from, const std::string& to, Host& host,
                                            std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (!host.readFile(from, bytes, error)) return nullptr;
    std::unique_ptr<OutputFile> file = host.createOutput(to, error);
    if (!file || !file->write(bytes.data(), bytes.size(), error)) return nullptr;
    return file;
}

void report(Host& host, const std::string& text) { host.writeStandardError("qarvo: " + text + "\n"); }

// The input that `output` would replace: every file the build reads is
// still needed while the exe is written, and the rename at the end would put
// the exe in its place. Empty when there is none.
std::string inputAt(const std::string& output, const BuildPlan& plan, const std::string& launcher, Host& host) {
    std::vector<std::string> inputs{plan.configurationFile, launcher, plan.runtimeJarSource};
    for (const IncludedFile& included : plan.includedFiles) inputs.push_back(included.source);
    inputs.insert(inputs.end(), plan.resourceSources.begin(), plan.resourceSources.end());
    for (const std::string& input : inputs) {
        if (!input.empty() && host.sameFile(output, input)) return input;
    }
    return {};
}

}  // namespace

std::string findInstalledFile(Host& host, const std::string& name, const std::string& buildTreePath) {
    const std::string tool = host.toolDirectory();
    std::vector<std::string> candidates;
    if (!tool.empty()) {
        candidates.push_back(tool + "/../share/qarvo/" + name);
        candidates.push_back(tool + "/" + name);
    }
    if (!buildTreePath.empty()) candidates.push_back(buildTreePath);
    for (const std::string& candidate : candidates) {
        if (host.fileSize(candidate)) return candidate;
    }
    return {};
}

int build(const BuildRequest& request, Host& host) {
    std::string error;
    std::vector<std::uint8_t> bytes;
    if (!host.readFile(request.configurationFile, bytes, error)) {
        report(host, error);
        return exitInputOutput;
    }
    ReadOptions options{request.configurationFile, request.output, request.target, request.runtimeJar};
    BuildPlan plan;
    std::vector<Diagnostic> diagnostics;
    if (!readConfiguration(std::string(bytes.begin(), bytes.end()), options, host, plan, diagnostics)) {
        for (const Diagnostic& diagnostic : diagnostics) host.writeStandardError(diagnostic.text() + "\n");
        return exitConfigurationError;
    }
    const std::string launcher =
        request.launcher.empty() ? findInstalledFile(host, "launcher-" + plan.target + ".exe",
                                                    plan.target == "x64" ? request.buildTreeLauncherX64
                                                                         : request.buildTreeLauncherX86) : request.launcher;
    if (launcher.empty()) {
        report(host, "no generic launcher for " + plan.target + " is installed; name one with --launcher");
        return exitInputOutput;
    }
    // A runtime jar that already lies where its copy would go stays as it is.
    const bool jarInPlace = !plan.runtimeJarCopy.empty() && host.sameFile(plan.runtimeJarCopy, plan.runtimeJarSource);
    for (const std::string& output : {plan.output, jarInPlace ? std::string() : plan.runtimeJarCopy}) {
        const std::string input = output.empty() ? std::string() : inputAt(output, plan, launcher, host);
        if (!input.empty()) {
            report(host, "refusing to write " + output + ": the build reads that file (" + input + ")");
            return exitConfigurationError;
        }
    }
    std::vector<std::uint8_t> image;
    if (!host.readFile(launcher, image, error)) {
        report(host, error);
        return exitInputOutput;
    }
    std::uint64_t length = 0;
    if (!checkTemplate(image, plan.target, length, error)) {
        report(host, "refusing " + launcher + " as the generic launcher: " + error);
        return exitConfigurationError;
    }
    // The new resource section stays the last section: the block follows it.
    if (!putApplicationResources(image, plan.resources, error)) {
        report(host, "cannot put the resources into " + launcher + ": " + error);
        return exitConfigurationError;
    }
    length = image.size();
    const std::uint64_t end = imageEnd(plan, length);
    if (end > maxImageEnd) {
        report(host, request.configurationFile + ": the included files would end at byte " + std::to_string(end) +
                         " of the exe; the launcher reads at most " + std::to_string(maxImageEnd));
        return exitConfigurationError;
    }
    std::uint32_t checkSumOffset = 0;
    if (!stampTemplate(image, host, checkSumOffset, error)) {
        report(host, error);
        return exitConfigurationError;
    }
    // The runtime jar's copy appears only once the exe has: a failed build
    // leaves neither.
    std::unique_ptr<OutputFile> jarCopy;
    if (!plan.runtimeJarCopy.empty() && !jarInPlace) {
        jarCopy = uncommittedCopy(plan.runtimeJarSource, plan.runtimeJarCopy, host, error);
        if (!jarCopy) {
            report(host, error);
            return exitInputOutput;
        }
    }
    if (!writeExe(plan, std::move(image), checkSumOffset, host, error) || (jarCopy && !jarCopy->commit(error))) {
        report(host, error);
        return exitInputOutput;
    }
    return exitBuilt;
}

}  // namespace qarvo::builder
