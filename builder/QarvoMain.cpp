// The command line of `qarvo`: build, inspect, init. A thin layer: the work
// is done by the library, the host is the real one.
#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "builder/Build.h"
#include "builder/HostSystem.h"
#include "builder/ImageReport.h"
#include "builder/StarterConfig.h"

#ifndef QARVO_BUILD_TREE_LAUNCHER_X86
#define QARVO_BUILD_TREE_LAUNCHER_X86 ""
#endif
#ifndef QARVO_BUILD_TREE_LAUNCHER_X64
#define QARVO_BUILD_TREE_LAUNCHER_X64 ""
#endif
#ifndef QARVO_BUILD_TREE_RUNTIME_JAR
#define QARVO_BUILD_TREE_RUNTIME_JAR ""
#endif

namespace {

using namespace qarvo::builder;

int initFile(const std::string& path, bool force, Host& host) {
    if (!force && host.fileSize(path)) {
        host.writeStandardError("qarvo: " + path + " exists; --force replaces it\n");
        return exitConfigurationError;
    }
    std::string error;
    const std::string text = starterConfiguration();
    std::unique_ptr<OutputFile> file = host.createOutput(path, error);
    if (!file || !file->write(text.data(), text.size(), error) || !file->commit(error)) {
        host.writeStandardError("qarvo: " + error + "\n");
        return exitInputOutput;
    }
    std::printf("wrote %s\n", path.c_str());
    return exitBuilt;
}

}  // namespace

int main(int argc, char** argv) {
    Host& host = realHost();
    CLI::App app{"qarvo: builds Windows launchers for Java applications and shows what they carry"};
    app.require_subcommand(1);

    BuildRequest request;
    CLI::App* buildCommand = app.add_subcommand("build", "make the application's .exe from app.toml");
    buildCommand->add_option("configuration", request.configurationFile, "the configuration file (app.toml)")
        ->required();
    buildCommand->add_option("-o,--output", request.output, "the exe to write (default: build.output)");
    buildCommand->add_option("--target", request.target, "x86 or x64 (default: build.target, else x86)")
        ->check(CLI::IsMember({"x86", "x64"}));
    buildCommand->add_option("--launcher", request.launcher, "the generic launcher to start from");
    buildCommand->add_option("--runtime-jar", request.runtimeJar, "the qarvo-runtime.jar to ship");

    std::string inspected;
    bool json = false;
    CLI::App* inspectCommand = app.add_subcommand("inspect", "show what a built exe carries");
    inspectCommand->add_option("exe", inspected, "the built exe")->required();
    inspectCommand->add_flag("--json", json, "print the report as JSON");

    std::string initPath = "app.toml";
    bool force = false;
    CLI::App* initCommand = app.add_subcommand("init", "write a commented starter app.toml");
    initCommand->add_option("file", initPath, "the file to write (default: app.toml)");
    initCommand->add_flag("--force", force, "replace an existing file");

    std::vector<std::string> arguments = utf8Arguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    try {
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return exitUsage;
    }

    if (*buildCommand) {
        if (request.runtimeJar.empty()) {
            request.runtimeJar = findInstalledFile(host, "qarvo-runtime.jar", QARVO_BUILD_TREE_RUNTIME_JAR);
        }
        request.buildTreeLauncherX86 = QARVO_BUILD_TREE_LAUNCHER_X86;
        request.buildTreeLauncherX64 = QARVO_BUILD_TREE_LAUNCHER_X64;
        return build(request, host);
    }
    if (*inspectCommand) {
        std::string output;
        const int code = inspect(inspected, json, host, output);
        // A report that did not reach its reader is no success (a full disk,
        // a closed pipe).
        if (std::fwrite(output.data(), 1, output.size(), stdout) != output.size() || std::fflush(stdout) != 0) {
            host.writeStandardError("qarvo: cannot write the report of " + inspected + ": " + std::strerror(errno) + "\n");
            return exitInputOutput;
        }
        return code;
    }
    return initFile(initPath, force, host);
}
