// Arbitrary bytes as the ".vmoptions" file beside the launcher and the files
// it can include, read through the fake system: the pieces between zero bytes
// are run.vmoptions, a.vmoptions, b.vmoptions and lib\c.vmoptions of the
// launcher directory. Lines go through variable expansion (A and B refer to
// each other) and the class-path directives into the class path option.
// Whatever the files hold, includes stay nested within their bound, no option
// outgrows the line buffer, and the reading ends.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "testing/TestSystem.h"
#include "vmargs/ClassPath.h"
#include "vmargs/VariableExpansion.h"
#include "vmargs/VmOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qarvo::testing::TestSystem system;
    system.environment.variables = {{"A", "${B}a"}, {"B", "${A}b"}, {"OPTS", "b.vmoptions"}};
    const char* const names[] = {"run.vmoptions", "a.vmoptions", "b.vmoptions", "lib\\c.vmoptions"};
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    for (const char* name : names) {
        if (start > input.size()) break;
        std::size_t end = input.find('\0', start);
        if (end == std::string_view::npos) end = input.size();
        system.files.addFile(std::string("C:\\app\\") + name, std::string(input.substr(start, end - start)));
        start = end + 1;
    }
    qarvo::VmOptionList options;
    qarvo::ClassPathOverrides overrides;
    try {
        qarvo::readVmOptionsFile(nullptr, qarvo::openDefaultVmOptionsFile(), options, overrides);
        (void)qarvo::buildClassPathOption(overrides);
    } catch (const qarvo::testing::ProcessExit&) {
    }
    // The default file and a chain of includes no deeper than the bound.
    if (system.files.mostTextFilesOpen > qarvo::maxIncludeDepth + 1 || system.files.textFilesOpen != 0) {
        __builtin_trap();
    }
    for (const std::string& option : options) {
        if (option.size() > qarvo::expandedCapacity) __builtin_trap();
    }
    return 0;
}
