// The build tool's path from app.toml to a block, in memory: any bytes as the
// configuration file; what is accepted is encoded, read back with the
// launcher's parser, and decoded into app.toml's names again.
#include <cstdint>
#include <string>

#include "builder/ConfigFile.h"
#include "builder/Inspect.h"
#include "builder/testing/MemoryHost.h"
#include "image/ConfigBlock.h"
#include "image/testing/FakePe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qarvo::builder::testing::MemoryHost host;
    host.addFile("/p/data.txt", "data");
    host.addFile("/jar/qarvo-runtime.jar", "jar");
    qarvo::builder::BuildPlan plan;
    std::vector<qarvo::builder::Diagnostic> diagnostics;
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
