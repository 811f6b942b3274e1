#include "jre/PackedRuntime.h"

#include "base/Format.h"
#include "base/PathHelpers.h"
#include "os/System.h"
#include "report/ErrorReport.h"
#include "report/Log.h"

namespace qarvo {

namespace {

// In the order they are expanded. The last is the done marker: an expansion
// cut short before it is repeated in full at the next start.
constexpr const char* packedArchives[] = {
    "lib\\rt.jar",     "lib\\charsets.jar",       "lib\\plugin.jar",
    "lib\\deploy.jar", "lib\\ext\\localedata.jar", "lib\\jsse.jar",
};

constexpr std::size_t packExtensionLength = 5;  // ".pack"

void logWaiting() { logLine("waiting for unpack200 to finish"); }

}  // namespace

void unpackPackedRuntime(const std::string& home) {
    if (!fileExists(formatText("%s\\lib\\rt.jar.pack", home.c_str())) ||
        fileExists(formatText("%s\\lib\\jsse.jar", home.c_str()))) {
        return;
    }
    logLine("Unpacking JRE");
    os::console().writeStandardOutput("Preparing JRE ...\n");
    for (const char* archive : packedArchives) unpackJar(home, archive);
    logLine("Unpacking JRE done");
}

void unpackJar(const std::string& home, const char* archive) {
    runUnpack200(home, formatText("%s\\%s.pack", home.c_str(), archive));
}

void runUnpack200(const std::string& home, const std::string& packFile) {
    if (packFile.size() < packExtensionLength) return;  // not a pack file name
    const std::string target = packFile.substr(0, packFile.size() - packExtensionLength);
    if (!fileExists(packFile)) {
        logLine("pack path doesn't exists");
        return;
    }
    const std::string unpacker = formatText("%s\\bin\\unpack200.exe", home.c_str());
    const std::string commandLine = formatText("-r \"%s\" \"%s\"", packFile.c_str(), target.c_str());
    logLine("%s", unpacker.c_str());
    logLine("%s", commandLine.c_str());
    std::uint32_t error = 0;
    if (!os::processes().runUnpacker(unpacker, commandLine, logWaiting, error)) {
        logLine("could not create unpack process");
        failWithMessageId(message::internalError, "20");
    }
    logLine("unpack done");
}

}  // namespace qarvo
