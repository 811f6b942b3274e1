#!/usr/bin/env bash
# Installs the native build into a fresh prefix and builds the example with the
# installed tool alone: no --launcher, no --runtime-jar, no build tree.
#   install_test.sh <native build dir> <work dir>
set -euo pipefail
build=$1 work=$2
rm -rf "$work"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cp -r "$work/prefix/share/doc/qarvo/examples/hello" "$work/hello"
# A copy of the tool outside the build tree would find the build tree's files
# only through its compiled-in paths; the installed one must use share/qarvo.
"$work/prefix/bin/qarvo" build "$work/hello/app.toml" -o "$work/out/hello.exe" 2>&1 || { echo "build failed"; exit 1; }
# The installed generic launcher, past its headers (the checksum there is the exe's).
size=$(stat -c %s "$work/prefix/share/qarvo/launcher-x86.exe")
cmp -i 1024 -n $((size - 1024)) "$work/prefix/share/qarvo/launcher-x86.exe" "$work/out/hello.exe"
test -f "$work/prefix/share/qarvo/launcher-x64.exe"
cmp "$work/prefix/share/qarvo/qarvo-runtime.jar" "$work/out/qarvo-runtime.jar"
"$work/prefix/bin/qarvo" inspect "$work/out/hello.exe" | grep -q 'application.main-class = "com.example.hello.Hello"'
# A report that cannot be written is a failure, not a success.
if "$work/prefix/bin/qarvo" inspect "$work/out/hello.exe" >/dev/full 2>/dev/null; then
  echo "inspect reported success with its output lost"; exit 1
fi
echo "installed tool: 1 passed, 0 failed"
