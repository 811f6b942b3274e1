// toml++ as the build tool uses it: without exceptions (parse results carry
// their error), without its Windows string overloads, compiled once
// (TomlLibrary.cpp) instead of in every file that includes it.
#pragma once

#define TOML_EXCEPTIONS 0
#define TOML_ENABLE_WINDOWS_COMPAT 0
#define TOML_HEADER_ONLY 0
#include <toml++/toml.h>
