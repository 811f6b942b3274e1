#!/bin/bash
# Quick check of the Windows test doubles under Wine; not run by CI.
#
#   WINEPREFIX=/tmp/doubles-prefix tests/doubles/smoke.sh build/win32/tests/doubles build/win64/tests/doubles
#
# Creates the prefix when it does not exist, starts a persistent wineserver
# for it and stops it again at the end (wineserver -k), so use a prefix of
# its own. The message-box check runs only when Xvfb is installed.
# Ends with "N passed, N failed"; the exit code is 1 when any check failed.
set -u

if [ -z "${WINEPREFIX:-}" ]; then
  echo "smoke.sh: set WINEPREFIX to a throw-away prefix (never ~/.wine)" >&2
  exit 2
fi
if [ $# -ne 2 ] || [ ! -f "$1/java.exe" ] || [ ! -f "$2/java.exe" ]; then
  echo "usage: WINEPREFIX=... $0 <32-bit doubles directory> <64-bit doubles directory>" >&2
  echo "  (each holding java.exe, jvm.dll, jvm_probe.exe, wintool.exe)" >&2
  exit 2
fi
doubles=$(cd "$1" && pwd)
doubles64=$(cd "$2" && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LC_ALL=C.UTF-8
unset WINEPATH WINEARCH DISPLAY

work=$(mktemp -d /tmp/doubles-smoke.XXXXXX)
xvfb_pid=
cleanup() {
  wineserver -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
setsid /usr/lib/wine/wineserver64 -p >/dev/null 2>&1 &

passed=0
failed=0
check() {  # check <description> <command...>
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $what" >&2
  fi
}
same() { [ "$1" = "$2" ] || { echo "  expected: [$2]" >&2; echo "  actual:   [$1]" >&2; return 1; }; }
contains() { grep -qF -- "$2" "$1" || { echo "  [$2] not in $1:" >&2; sed 's/^/    /' "$1" >&2; return 1; }; }
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# run <exe> <args...>: stdout to $work/out, stderr to $work/err (without
# Wine's own "wine: " lines), exit code to $rc. Never a pipe: Wine's service
# processes inherit it and keep it open.
run() {
  timeout -k 2 60 wine "$@" >"$work/out" 2>"$work/err.raw"
  rc=$?
  grep -v '^wine: ' "$work/err.raw" >"$work/err"
}

# --- java.exe -------------------------------------------------------------
bin=$work/jre/bin
mkdir -p "$bin" "$work/jre64/bin"
cp "$doubles/java.exe" "$bin/java.exe"
cp "$doubles/java.exe" "$bin/javaw.exe"
cp "$doubles64/java.exe" "$work/jre64/bin/java.exe"

printf 'openjdk version "1.8.0_392"\r\nJava caf\xc3\xa9\r\n' >"$bin/java-stub-stderr.txt"
echo 7 >"$bin/java-stub-exitcode.txt"
run "$bin/java.exe" -version "a b"
check "java.exe exits with the scripted code" same "$rc" 7
check "java.exe copies java-stub-stderr.txt to stderr" cmp -s "$work/err" "$bin/java-stub-stderr.txt"
check "java.exe writes nothing to stdout" same "$(cat "$work/out")" ""
line=$(head -n 1 "$bin/java-stub-record.txt")
check "java.exe records its own path" same "${line%%$'\t'*}" "$(winpath "$bin/java.exe")"
check "java.exe records its command line" same "${line#*$'\t'}" "\"$(winpath "$bin/java.exe")\" -version \"a b\""

rm "$bin/java-stub-exitcode.txt" "$bin/java-stub-stderr.txt"
echo 600 >"$bin/java-stub-sleep.txt"
start=$(date +%s%N)
run "$bin/javaw.exe"
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
check "javaw.exe copy exits 0 without an exit-code file" same "$rc" 0
check "javaw.exe copy sleeps as scripted ($elapsed_ms ms)" test "$elapsed_ms" -ge 600
check "javaw.exe copy appends its own line" same "$(sed -n 2p "$bin/java-stub-record.txt" | cut -f1)" "$(winpath "$bin/javaw.exe")"

run "$work/jre64/bin/java.exe" -version
check "the 64-bit java.exe runs and records" contains "$work/jre64/bin/java-stub-record.txt" "$(winpath "$work/jre64/bin/java.exe")"
check "the 64-bit java.exe is an x86-64 image" same "$(od -An -tx1 -j "$(( $(od -An -tu4 -j60 -N4 "$doubles64/java.exe") + 4 ))" -N2 "$doubles64/java.exe" | tr -d ' ')" "6486"

# --- jvm.dll --------------------------------------------------------------
client=$work/jre/bin/client
mkdir -p "$client"
cp "$doubles/jvm.dll" "$client/jvm.dll"
cp "$doubles64/jvm.dll" "$work/jvm64.dll"
record=$client/jvm-stub-record.txt
script=$client/jvm-stub-script.txt
probe() {  # probe <probe options...>: a fresh record each time
  rm -f "$record"
  run "$doubles/jvm_probe.exe" "$(winpath "$client/jvm.dll")" "$@"
}

probe
check "probe succeeds with the default script" same "$rc" 0
check "the record holds the whole start-up" same "$(cat "$record")" "JNI_CreateJavaVM version=0x00010002 nOptions=2 ignoreUnrecognized=0
option 0: -Dprobe.option=1
option 1: -Xmx64m
JNI_CreateJavaVM result=0
FindClass com/qarvo/probe/Main
ExceptionOccurred 0
GetStaticMethodID main ([Ljava/lang/String;)V
ExceptionOccurred 0
FindClass java/lang/String
NewObjectArray 3 java/lang/String
DeleteLocalRef class java/lang/String
NewString plain
SetObjectArrayElement 0 plain
DeleteLocalRef string plain
NewString café
SetObjectArrayElement 1 café
DeleteLocalRef string café
NewString 日本
SetObjectArrayElement 2 日本
DeleteLocalRef string 日本
ExceptionOccurred 0
GetArrayLength 3
GetObjectArrayElement 0
GetStringLength 5
GetStringChars plain
ReleaseStringChars
DeleteLocalRef string plain
GetObjectArrayElement 1
GetStringLength 4
GetStringChars café
ReleaseStringChars
DeleteLocalRef string café
GetObjectArrayElement 2
GetStringLength 2
GetStringChars 日本
ReleaseStringChars
DeleteLocalRef string 日本
CallStaticVoidMethod main
main arg 0: plain
main arg 1: café
main arg 2: 日本
ExceptionOccurred 0
DeleteLocalRef array java/lang/String[3]
DeleteLocalRef class com/qarvo/probe/Main
DestroyJavaVM"

for form in v a; do
  probe --call=$form "x y" "ü"
  check "main called through the ...$form slot" same "$rc:$(grep -A2 '^CallStatic' "$record")" "0:CallStaticVoidMethod main
main arg 0: x y
main arg 1: ü"
done

echo "firstrun false" >"$script"
probe --firstrun
check "firstrun false" same "$(head -n 2 "$work/out")" "round trip ok
firstRun false"
check "firstRun call recorded" contains "$record" "CallStaticBooleanMethod firstRun"

echo "firstrun throws" >"$script"
probe --firstrun --call=v
check "firstrun throws: probe sees the exception" contains "$work/out" "exception after firstRun"
check "firstrun throws: ExceptionDescribe prints it" same "$(cat "$work/err")" "stub exception in firstrun"

printf 'missing-class com/qarvo/probe/Main\r\n' >"$script"
probe
check "missing-class ends the probe with 5" same "$rc" 5
check "missing-class: NoClassDefFoundError described" same "$(cat "$work/err")" "java.lang.NoClassDefFoundError: com/qarvo/probe/Main"
check "missing-class: ExceptionOccurred 1 recorded" contains "$record" "ExceptionOccurred 1"

printf '# comment\n\nmissing-method main\n' >"$script"
probe
check "missing-method ends the probe with 5" same "$rc" 5
check "missing-method: NoSuchMethodError described" same "$(cat "$work/err")" "java.lang.NoSuchMethodError: main"

echo "main-throws" >"$script"
probe
check "main-throws: probe sees the exception" contains "$work/out" "exception after main"
check "main-throws: stderr" same "$(cat "$work/err")" "stub exception in main"
check "main-throws: ExceptionDescribe recorded" contains "$record" "ExceptionDescribe"

echo "main-exit 42" >"$script"
probe
check "main-exit ends the process with the code" same "$rc" 42
check "main-exit recorded last" same "$(tail -n 1 "$record")" "ExitProcess 42"

echo "create-fails -1" >"$script"
probe
check "create-fails: probe exit 4" same "$rc:$(cat "$work/out")" "4:JNI_CreateJavaVM returned -1"
check "create-fails recorded" same "$(tail -n 1 "$record")" "JNI_CreateJavaVM result=-1"

echo "main-explodes" >"$script"
probe
check "an unknown directive fails loudly" same "$rc" 97

rm -f "$script"
probe --unexpected
check "an unused slot ends the process with 97" same "$rc" 97
check "an unused slot is recorded" same "$(tail -n 1 "$record")" "UNEXPECTED MonitorEnter"
check "an unused slot is named on stderr" same "$(cat "$work/err")" "jvm stub: UNEXPECTED MonitorEnter"

flag=$work/go-on
echo "main-wait-file $(winpath "$flag")" >"$script"
rm -f "$record"
timeout -k 2 60 wine "$doubles/jvm_probe.exe" "$(winpath "$client/jvm.dll")" >"$work/out" 2>"$work/err" &
waiter=$!
for _ in $(seq 100); do grep -q "^main-wait-file waiting" "$record" 2>/dev/null && break; sleep 0.1; done
check "main-wait-file: waiting recorded" contains "$record" "main-wait-file waiting $(winpath "$flag")"
check "main-wait-file: main has not returned yet" test -z "$(grep DestroyJavaVM "$record")"
touch "$flag"
wait "$waiter"
check "main-wait-file: the probe finishes" same "$?" 0
check "main-wait-file: appearance recorded" contains "$record" "main-wait-file appeared $(winpath "$flag")"
rm -f "$script"

rm -f "$record"
run "$doubles/jvm_probe.exe" "$(winpath "$work/jvm64.dll")"
check "the 64-bit jvm.dll cannot be loaded by a 32-bit process" same "$rc:$(cat "$work/out")" "2:LoadLibrary error 193"

# --- wintool.exe ----------------------------------------------------------
key='Software\qarvo-doubles-smoke'
wintool() { run "$doubles/wintool.exe" "$@"; }
wintool reg-delete-tree HKCU "$key"
check "reg-delete-tree of a missing key succeeds" same "$rc" 0
wintool reg-write HKCU "$key" Text REG_SZ "wört 日本"
check "reg-write REG_SZ" same "$rc" 0
wintool reg-read HKCU "$key" Text
check "reg-read REG_SZ round trip" same "$rc:$(cat "$work/out")" "0:REG_SZ wört 日本"
wintool reg-write HKCU "$key\\sub1" Number REG_DWORD 305419896
wintool reg-read HKCU "$key\\sub1" Number
check "reg-read REG_DWORD round trip" same "$(cat "$work/out")" "REG_DWORD 305419896"
wintool reg-write HKCU "$key\\sub2" Bytes REG_BINARY 00ff10ab
wintool reg-read HKCU "$key\\sub2" Bytes
check "reg-read REG_BINARY round trip" same "$(cat "$work/out")" "REG_BINARY 00ff10ab"
wintool reg-read HKCU "$key" Missing
check "reg-read of a missing value exits 2 quietly" same "$rc:$(cat "$work/out" "$work/err")" "2:"
wintool reg-list HKCU "$key"
check "reg-list" same "$(sort "$work/out")" "sub1
sub2"
wintool reg-delete-tree HKCU "$key"
wintool reg-read HKCU "$key" Text
check "reg-delete-tree removes the tree" same "$rc" 2

wintool reg-write HKLM "$key" View REG_SZ sixty-four 64
wintool reg-read HKLM "$key" View 64
check "HKLM 64-bit view round trip" same "$(cat "$work/out")" "REG_SZ sixty-four"
wintool reg-read HKLM "$key" View 32
check "HKLM 64-bit value absent from the 32-bit view" same "$rc" 2
wintool reg-delete-tree HKLM "$key" 64
wintool reg-read HKLM "$key" View 64
check "reg-delete-tree in the 64-bit view" same "$rc" 2

long="$work/a rather long directory name"
mkdir -p "$long"
wintool short-path "$(winpath "$long")"
short=$(cat "$work/out")
check "short-path gives an 8.3 name (${short##*\\})" test "$rc" = 0 -a "${#short}" -lt "${#long}"
wintool long-path "$short"
check "long-path maps it back" same "$(cat "$work/out")" "$(winpath "$long")"
(cd "$work" && run "$doubles/wintool.exe" cwd)
check "cwd" same "$(cat "$work/out")" "$(winpath "$work")"
(cd "$work" && run "$doubles/wintool.exe" full-path 'x\y.txt')
check "full-path" same "$(cat "$work/out")" "$(winpath "$work")\\x\\y.txt"
QARVO_SMOKE_VALUE="hello wörld" wintool env QARVO_SMOKE_VALUE
check "env" same "$(cat "$work/out")" "hello wörld"
wintool env QARVO_SMOKE_UNSET
check "env of an unset variable exits 2" same "$rc" 2

if command -v Xvfb >/dev/null; then
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=:$(cat "$work/display")
  printf 'MsgBox "First line" & vbCrLf & "second line", 0, "Smoke caption"\r\n' >"$work/box.vbs"
  (cd "$work" && timeout -k 2 60 wine wscript box.vbs >/dev/null 2>&1) &
  boxer=$!
  wintool msgbox "Smoke caption" 20000
  check "msgbox prints the text" same "$rc:$(cat "$work/out")" "0:First line
second line"
  wait "$boxer"
  check "msgbox dismisses the box" same "$?" 0
  wintool msgbox "No such box" 300
  check "msgbox times out with 3" same "$rc" 3
  unset DISPLAY
else
  echo "(Xvfb not installed: msgbox not checked)"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
