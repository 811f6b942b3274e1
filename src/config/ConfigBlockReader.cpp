#include "config/ConfigBlockReader.h"

#include <cstring>

#include "config/Configuration.h"
#include "report/Log.h"

namespace qarvo {

namespace {

// Stores entries as the codec reads them: a later entry replaces an earlier
// one of its key, and a later section overrides earlier ones, so "de_CH"
// behind "de" wins for its keys. Logs the codec's trace.
class MapStore final : public ConfigBlockVisitor {
public:
    MapStore(ConfigurationMaps& maps, UserLocaleQuery userLocale)
        : maps_(maps), userLocale_(userLocale) {}

    void line(const char* text) override { logLine("%s", text); }
    void stringEntry(std::int32_t key, std::string&& value) override { maps_.stringValues[key] = std::move(value); }
    void wideEntry(std::int32_t key, std::u16string&& value) override { maps_.wideValues[key] = std::move(value); }
    // A section applies when its name is a prefix of the user's locale name,
    // so "de" serves "de_CH" too and "" serves every locale the table knows.
    void localeSection(std::string&& name) override {
        if (!localeAsked_) {
            user_ = userLocale_();
            localeAsked_ = true;
        }
        sectionMatches_ = user_ && std::strncmp(name.c_str(), user_, name.size()) == 0;
    }
    void localeEntry(std::int32_t key, std::u16string&& value) override {
        if (sectionMatches_) maps_.wideValues[key] = std::move(value);
    }

private:
    ConfigurationMaps& maps_;
    UserLocaleQuery userLocale_;
    bool localeAsked_ = false;
    const char* user_ = nullptr;
    bool sectionMatches_ = false;
};

}  // namespace

ConfigReadFailure readConfigurationFrom(ByteSource& file, UserLocaleQuery userLocale) {
    ConfigurationMaps& maps = configurationMaps();
    MapStore store(maps, userLocale);
    const ConfigBlockEnd end = visitConfigurationBlock(file, store);
    // A launcher file is far below 4 GiB.
    if (end.failure == ConfigReadFailure::none) maps.blockEndOffset = static_cast<std::uint32_t>(end.endOffset);
    return end.failure;
}

}  // namespace qarvo
