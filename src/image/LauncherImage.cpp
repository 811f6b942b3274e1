#include "image/LauncherImage.h"

#include <iterator>

#include "image/IncludedFilesSection.h"
#include "image/LittleEndian.h"
#include "image/PeLayout.h"

namespace qarvo {

void appendLauncherData(std::vector<std::uint8_t>& image, const ConfigBlockContent& content,
                        const IncludedFileContents& includedFiles) {
    const std::vector<std::uint8_t> block = encodeConfigurationBlock(content);
    image.insert(image.end(), block.begin(), block.end());
    for (const std::vector<std::uint8_t>& file : includedFiles) appendIncludedFile(image, file);
    if (!includedFiles.empty()) return;
    const std::vector<std::uint8_t> tail = closingTail(image.size());
    image.insert(image.end(), tail.begin(), tail.end());
}

std::vector<std::uint8_t> closingTail(std::uint64_t imageSize) {
    std::vector<std::uint8_t> tail(std::begin(closingMarker), std::end(closingMarker));
    const std::uint64_t rest = (imageSize + tail.size()) % imageFileAlignment;
    if (rest != 0) tail.resize(tail.size() + static_cast<std::size_t>(imageFileAlignment - rest), 0);
    return tail;
}

namespace {

// Parses the template; false when it is no PE image or the block would land
// inside its headers (an empty last section at a low offset).
bool parseTemplate(std::span<const std::uint8_t> templateBytes, PeImage& pe, std::string& error) {
    if (!parsePeImage(templateBytes, pe, error)) return false;
    const std::uint64_t headersEnd = std::uint64_t{pe.sectionTableOffset} + pe.sectionCount * pe::sectionHeaderSize;
    if (pe.lastSectionEnd() < headersEnd) {
        error = "the last section ends inside the headers, at offset " + std::to_string(pe.lastSectionEnd());
        return false;
    }
    return true;
}

}  // namespace

bool launcherTemplateLength(std::span<const std::uint8_t> templateBytes, std::size_t& length, std::string& error) {
    PeImage pe;
    if (!parseTemplate(templateBytes, pe, error)) return false;
    length = static_cast<std::size_t>(pe.lastSectionEnd());  // within the bytes: the parser checked
    return true;
}

bool writeLauncherImage(std::span<const std::uint8_t> templateBytes, const ConfigBlockContent& content,
                        const IncludedFileContents& includedFiles, std::vector<std::uint8_t>& image,
                        std::string& error) {
    PeImage pe;
    if (!parseTemplate(templateBytes, pe, error)) return false;
    // Within the bytes (the parser checked) and behind the headers, which
    // hold the certificate table entry.
    const std::uint64_t end = pe.lastSectionEnd();
    std::vector<std::uint8_t> out(templateBytes.begin(), templateBytes.begin() + static_cast<std::ptrdiff_t>(end));
    if (pe.dataDirectories.size() > pe::certificateDirectory &&
        pe.dataDirectories[pe::certificateDirectory].size != 0 &&
        pe.dataDirectories[pe::certificateDirectory].address >= end) {
        const std::size_t entry = pe.dataDirectoryOffset + pe::certificateDirectory * pe::dataDirectorySize;
        writeLittleEndian(out.data() + entry, 0, pe::dataDirectorySize);
    }
    appendLauncherData(out, content, includedFiles);
    image = std::move(out);
    return true;
}

}  // namespace qarvo
