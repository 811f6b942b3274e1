#include "jre/Registry.h"

namespace qarvo {

namespace {
class EmptyRegistry final : public Registry {
public:
    bool readValue(Hive, const std::string&, const std::string&, std::size_t, std::string&) override {
        return false;
    }
    bool subkeyNames(Hive, const std::string&, std::size_t, std::vector<std::string>&) override { return false; }
    bool writeValue(Hive, const std::string&, const std::string&, ValueType, const std::string&) override {
        return false;
    }
};
EmptyRegistry emptyRegistry;
Registry* installed = &emptyRegistry;
}  // namespace

Registry& registry() { return *installed; }
void installRegistry(Registry& r) { installed = &r; }
void resetRegistryForTesting() { installed = &emptyRegistry; }

bool readRegistryText(Hive hive, const std::string& subkey, const std::string& name, std::size_t capacity,
                      std::string& text) {
    if (!registry().readValue(hive, subkey, name, capacity, text)) return false;
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    return true;
}

}  // namespace qarvo
