#include "jre/Registry.h"

#include "os/System.h"

namespace qarvo {

bool readRegistryText(os::Hive hive, const std::string& subkey, const std::string& name, std::size_t capacity,
                      std::string& text) {
    if (!os::registry().readValue(hive, os::RegistryView::own, subkey, name, capacity, text)) return false;
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    return true;
}

}  // namespace qarvo
