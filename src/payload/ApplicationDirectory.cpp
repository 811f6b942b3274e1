#include "payload/ApplicationDirectory.h"

#include "base/CodePage.h"
#include "base/PathHelpers.h"
#include "config/ConfigKeys.h"
#include "config/Configuration.h"

namespace qarvo {

std::string applicationDirectoryFile(const char* name) {
    return withBackslash(absolutePath(getStringValue(key::applicationDirectory), true)) + name;
}

}  // namespace qarvo
