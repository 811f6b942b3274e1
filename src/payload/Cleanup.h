// Removing what an extraction wrote when it fails half-way. It is the only
// deletion of extracted files the launcher performs: after a successful start
// the launcher temporary directory and its files stay for the Java side.
#pragma once

#include <string>

namespace qarvo {

// Deletes the files and removes the empty subdirectories directly inside
// `path`, each tried once; subdirectories are not descended into, so one that
// holds files stays. A `path` that is empty or begins with "." (".", "..", a
// relative path) is left alone. Reports nothing but log lines; the caller
// removes `path` itself afterwards.
void emptyDirectory(const std::string& path);

}  // namespace qarvo
