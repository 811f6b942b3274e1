#!/usr/bin/env bash
# `qarvo build` with one 512 MiB included file against `cat` of the same file
# to the same disk, alternated: figures, not pass/fail. Builds an optimised
# qarvo of its own (the native preset is a debug build).
#   bench/builder_bench.sh [runs]     (default 5 runs of each)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
work=$top/build/bench-builder
release=$top/build/bench-release
mkdir -p "$work"
cmake -S "$top" -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQARVO_WIN32_BUILD_DIR="$top/build/win32" >/dev/null
cmake --build "$release" --target qarvo >/dev/null
qarvo=$release/builder/qarvo
if [ ! -f "$work/big.bin" ] || [ "$(stat -c %s "$work/big.bin")" != 536870912 ]; then
  head -c 536870912 /dev/urandom > "$work/big.bin"
fi
cat > "$work/app.toml" <<'TOML'
[application]
main-class = "com.example.Main"
[build]
runtime-jar = "none"
[files]
include = ["big.bin"]
TOML
launcher=$top/build/win32/src/launcher.exe
now() { date +%s.%N; }
rate() { awk -v b=536870912 -v s="$1" 'BEGIN { printf "%.0f", b / s / 1e6 }'; }
echo "run  cat MB/s  qarvo MB/s  ratio"
for i in $(seq "$runs"); do
  rm -f "$work/cat.out" "$work/app.exe"
  t0=$(now); cat "$work/big.bin" > "$work/cat.out"; t1=$(now)
  "$qarvo" build "$work/app.toml" -o "$work/app.exe" --launcher "$launcher"; t2=$(now)
  c=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
  q=$(awk -v a="$t1" -v b="$t2" 'BEGIN { print b - a }')
  echo "$i    $(rate "$c")        $(rate "$q")        $(awk -v c="$c" -v q="$q" 'BEGIN { printf "%.2f", c / q }')"
done
if [ -x /usr/bin/time ]; then
  /usr/bin/time -f "qarvo peak memory: %M KiB" "$qarvo" build "$work/app.toml" -o "$work/app.exe" --launcher "$launcher"
fi
