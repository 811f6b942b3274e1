#include "payload/Cleanup.h"

#include <cstdint>
#include <vector>

#include "base/CodePage.h"
#include "os/System.h"
#include "report/Log.h"

namespace qarvo {

void emptyDirectory(const std::string& path) {
    if (path.empty() || path[0] == '.') return;
    logLine("emptying %s", path.c_str());
    const std::string directory = withBackslash(path);
    const std::vector<os::DirectoryEntry> entries = os::files().find(directory + "*.*", SIZE_MAX);
    for (const os::DirectoryEntry& entry : entries) {
        if (entry.name == "." || entry.name == "..") continue;
        const std::string fullName = directory + entry.name;
        if (entry.directory) {
            logLine("attempting to remove %s", fullName.c_str());
            os::files().removeDirectory(fullName);
        } else {
            logLine("attempting to delete %s", fullName.c_str());
            std::uint32_t error = 0;
            os::files().deleteFile(fullName, error);
        }
    }
}

}  // namespace qarvo
