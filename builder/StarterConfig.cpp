#include "builder/StarterConfig.h"

namespace qarvo::builder {

std::string starterConfiguration() {
    return R"(# app.toml: how `qarvo build app.toml` makes your application's .exe.
# Paths of files on this machine are relative to this file's directory; paths
# the launcher reads on Windows are relative to the directory of the .exe.
# Every name is described in the reference of the README.

[application]
# The class whose main(String[]) runs your program.
main-class = "com.example.Main"
# Your jars, relative to the .exe. A table gives other kinds of entries:
# { directory = "classes" }, { scan = "lib" }, { variable = "EXTRA_CP", required = false }
class-path = ["app.jar"]
# "gui" (javaw.exe, errors in dialogs) or "console" (errors on standard error).
type = "gui"
# arguments = ["--from-launcher"]
# working-directory = "."
# icon = "app.ico"            # every image of the .ico becomes the exe's icon

[runtime]
# The lowest Java version accepted, compared as text ("1.8" accepts 1.8.0_20).
min-version = "1.8"
# max-version = ""
# Where to look, in order; the default is shown.
# search-sequence = ["bundled:.\\jre", "env:JAVA_HOME", "env:JDK_HOME", "installed", "registry"]

[vm]
# options = ["-Xmx512m", "-Dapp.home=%QARVO_EXEDIR%"]
# allow-dash-j = true    # "-J-Xmx1g" on the command line becomes a VM option

[build]
# output = "app.exe"          # default: this file's name with .exe, beside it
# target = "x86"
# runtime-jar = "beside"      # qarvo-runtime.jar beside the .exe; "included" for a single file

# [files]
# include = ["README.txt", { source = "build/libs/plugin.jar", name = "lib\\plugin.jar" }]

# [version]                   # what Windows shows in the file's properties
# file-version = "1.0.0"
# company = "Example Ltd"
# description = "Example application"
# copyright = "(c) Example Ltd"
# product-name = "Example"

# [manifest]
# execution-level = "asInvoker"   # or "highestAvailable", "requireAdministrator"
# dpi-awareness = "none"          # or "system", "per-monitor-v2"
# long-path-aware = false
# supported-os = ["windows-10"]

# [splash]
# image = "splash.png"        # GIF, PNG or JPEG, shown while the JVM starts

# [output]
# error-file = "error.log"

# [single-instance]
# enabled = true

# [messages]
# no-runtime-found = "This program needs Java {0}-bit. Please install it."
)";
}

}  // namespace qarvo::builder
