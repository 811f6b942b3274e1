#include "image/BlockReader.h"
#include "image/ConfigBlock.h"

namespace qarvo {

namespace {

bool readStringEntries(BlockReader& in, ConfigBlockVisitor& visitor) {
    std::int32_t count = 0;
    if (!in.readInt(count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t key = 0;
        std::string value;
        if (!in.readInt(key) || !in.readString(value)) return false;
        visitor.stringEntry(key, std::move(value));
    }
    return true;
}

// `count` wide entries, of the wide part or of a locale section.
bool readWideEntries(BlockReader& in, ConfigBlockVisitor& visitor, bool inLocaleSection) {
    std::int32_t count = 0;
    if (!in.readInt(count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t key = 0;
        std::u16string value;
        if (!in.readInt(key) || !in.readWString(value)) return false;
        if (inLocaleSection) {
            visitor.localeEntry(key, std::move(value));
        } else {
            visitor.wideEntry(key, std::move(value));
        }
    }
    return true;
}

// Every section is read in full, whoever it is for.
bool readLocaleSections(BlockReader& in, ConfigBlockVisitor& visitor) {
    std::int32_t count = 0;
    if (!in.readInt(count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        std::string name;
        if (!in.readString(name)) return false;
        visitor.localeSection(std::move(name));
        if (!readWideEntries(in, visitor, true)) return false;
    }
    return true;
}

ConfigReadFailure readBlock(BlockReader& in, ConfigBlockVisitor& visitor, std::uint32_t& opaqueHeaderWord) {
    if (!seekConfigurationBlock(in)) return in.failure();

    std::int32_t magic = 0;
    if (!in.readInt(magic)) return in.failure();
    if (static_cast<std::uint32_t>(magic) != configBlockMagic) return ConfigReadFailure::magic;

    // The first header word and the block length: written by the builder, of
    // no use to a reader that walks the entries.
    std::int32_t headerWord = 0;
    std::int32_t opaqueWord = 0;
    std::int64_t blockLength = 0;
    if (!in.readInt(headerWord) || !in.readInt(opaqueWord) || !in.readLong(blockLength)) return in.failure();
    opaqueHeaderWord = static_cast<std::uint32_t>(opaqueWord);

    if (!readStringEntries(in, visitor) || !readWideEntries(in, visitor, false) || !readLocaleSections(in, visitor)) {
        return in.failure();
    }
    return ConfigReadFailure::none;
}

class ContentCollector final : public ConfigBlockVisitor {
public:
    ContentCollector(ConfigBlockContent& content, ConfigTrace* trace) : content_(content), trace_(trace) {}
    void line(const char* text) override {
        if (trace_) trace_->line(text);
    }
    void stringEntry(std::int32_t key, std::string&& value) override {
        content_.strings.emplace_back(key, std::move(value));
    }
    void wideEntry(std::int32_t key, std::u16string&& value) override {
        content_.wides.emplace_back(key, std::move(value));
    }
    void localeSection(std::string&& name) override { content_.localeSections.push_back({std::move(name), {}}); }
    void localeEntry(std::int32_t key, std::u16string&& value) override {
        content_.localeSections.back().entries.emplace_back(key, std::move(value));
    }

private:
    ConfigBlockContent& content_;
    ConfigTrace* trace_;
};

}  // namespace

const char* configReadFailureMessage(ConfigReadFailure failure) {
    switch (failure) {
        case ConfigReadFailure::none: return "";
        case ConfigReadFailure::magic: return "Internal Error: magic";
        case ConfigReadFailure::readLong: return "Internal Error: readLong";
        case ConfigReadFailure::readInt: return "Internal Error: readInt";
        case ConfigReadFailure::readShort: return "Internal Error: readShort";
        case ConfigReadFailure::readString: return "Internal Error: readString";
        case ConfigReadFailure::readWString: return "Internal Error: readWString";
    }
    return "";
}

ConfigBlockEnd visitConfigurationBlock(ByteSource& source, ConfigBlockVisitor& visitor) {
    ConfigBlockEnd end;
    BlockReader in(source, &visitor);
    end.failure = readBlock(in, visitor, end.opaqueHeaderWord);
    // Every byte up to here came from the source, so the position lies within it.
    if (end.failure == ConfigReadFailure::none) end.endOffset = static_cast<std::uint64_t>(in.position());
    return end;
}

ConfigBlockRead parseConfigurationBlock(ByteSource& source, ConfigTrace* trace) {
    ConfigBlockRead read;
    ContentCollector collector(read.content, trace);
    const ConfigBlockEnd end = visitConfigurationBlock(source, collector);
    read.failure = end.failure;
    read.endOffset = end.endOffset;
    read.content.opaqueHeaderWord = end.opaqueHeaderWord;
    return read;
}

}  // namespace qarvo
