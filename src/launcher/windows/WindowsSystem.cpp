#include "launcher/windows/WindowsSystem.h"

#include "jre/windows/RegistryWin.h"
#include "jre/windows/RuntimeSystemWin.h"
#include "os/windows/EnvironmentWin.h"
#include "os/windows/FileSystemWin.h"
#include "payload/windows/PathSystemWin.h"
#include "payload/windows/TempSystemWin.h"
#include "report/windows/ErrorSinkWin.h"
#include "report/windows/LogPlatformWin.h"

namespace qarvo {

namespace {
WindowsEnvironment windowsEnvironment;
WindowsLogPlatform windowsLogPlatform;
WindowsErrorSink windowsErrorSink;
WindowsPathSystem windowsPathSystem;
WindowsFileSystem windowsFileSystem;
WindowsTempSystem windowsTempSystem;
WindowsRegistry windowsRegistry;
WindowsRuntimeFiles windowsRuntimeFiles;
WindowsProbeProcess windowsProbeProcess;
WindowsLibraryLoader windowsLibraryLoader;
}  // namespace

void installWindowsSystem() {
    installEnvironment(windowsEnvironment);
    installLogPlatform(windowsLogPlatform);
    installErrorSink(windowsErrorSink);
    installPathSystem(windowsPathSystem);
    installFileSystem(windowsFileSystem);
    installTempSystem(windowsTempSystem);
    installRegistry(windowsRegistry);
    installRuntimeFiles(windowsRuntimeFiles);
    installProbeProcess(windowsProbeProcess);
    installLibraryLoader(windowsLibraryLoader);
}

}  // namespace qarvo
