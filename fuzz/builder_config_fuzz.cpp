// The build tool's path from app.toml to a block, in memory: any ASCII bytes
// as the configuration file; what is accepted is encoded, read back with the
// launcher's parser, and decoded into app.toml's names again.
//
// ASCII only: toml++ 3.3 takes an "unreachable" branch (undefined behaviour)
// when its error path tests a character beyond ASCII for white space behind a
// malformed value on the same line. The tool's own check before parsing
// refuses such characters outside strings and comments (a test covers it);
// inside a string behind a malformed value the library's defect remains.
#include <cstdint>
#include <string>

#include "builder/ConfigFile.h"
#include "builder/ImageReport.h"
#include "builder/testing/MemoryHost.h"
#include "image/ConfigBlock.h"
#include "image/testing/FakePe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qarvo::builder::testing::MemoryHost host;
    host.addFile("/p/data.txt", "data");
    host.addFile("/jar/qarvo-runtime.jar", "jar");
    qarvo::builder::BuildPlan plan;
    std::vector<qarvo::builder::Diagnostic> diagnostics;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] >= 0x80) return 0;
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (!qarvo::builder::readConfiguration(text, {"/p/app.toml", "", "", "/jar/qarvo-runtime.jar"}, host, plan,
                                           diagnostics)) {
        if (diagnostics.empty()) __builtin_trap();  // a refusal always says why
        return 0;
    }
    const std::vector<std::uint8_t> image = qarvo::testing::makeFakeLauncher(plan.block);
    qarvo::MemorySource source(image);
    qarvo::ConfigBlockRead read = qarvo::parseConfigurationBlock(source);
    if (read.failure != qarvo::ConfigReadFailure::none || !(read.content == plan.block)) __builtin_trap();
    qarvo::builder::InspectReport report;
    report.content = read.content;
    (void)qarvo::builder::reportText(report);
    (void)qarvo::builder::reportJson(report);
    return 0;
}
