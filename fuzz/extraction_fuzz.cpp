// Extracts arbitrary bytes as the included-files section of the launcher
// through the fake system: the first byte is the file count (key 2002, from -8
// to 23), the second picks a double-byte code page, the text up to the next
// zero byte is the names (key 2003), the rest the section. Whatever they hold,
// nothing may be created outside the launcher temporary directory and the
// recorded end may not lie behind the section.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/Configuration.h"
#include "payload/IncludedFiles.h"
#include "payload/TempDirectories.h"
#include "testing/TestSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    qarvo::testing::TestSystem system;
    system.codePage.doubleByte = (data[1] & 1) != 0;
    const char* text = reinterpret_cast<const char*>(data + 2);
    const std::size_t namesLength = strnlen(text, size - 2);
    const std::size_t sectionStart = 2 + namesLength + (namesLength < size - 2 ? 1 : 0);
    system.setKey(2002, std::to_string(static_cast<int>(data[0] % 32) - 8));
    system.setKey(2003, std::string(text, namesLength));
    system.files.addFile("C:\\app\\run.exe", std::string(reinterpret_cast<const char*>(data) + sectionStart,
                                                         size - sectionStart));
    int result = -1;
    try {
        result = qarvo::extractIncludedFiles(true);
    } catch (const qarvo::testing::ProcessExit&) {
    }
    // Choosing the launcher temporary directory makes sure the system one exists.
    const std::string temp = system.files.key(qarvo::launcherTempDirectory());
    for (const std::string& call : system.callsStartingWith({"CreateFile write ", "CreateDirectory "})) {
        const std::string created = system.files.key(call.substr(call.find(' ', 11) + 1));
        if (created == "c:\\temp") continue;
        if (temp.empty() || (created != temp && created.rfind(temp + "\\", 0) != 0)) std::abort();
    }
    if (result == 0 && static_cast<std::uint64_t>(qarvo::extractionEndPosition()) > size - sectionStart) std::abort();
    return 0;
}
