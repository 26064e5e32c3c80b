#!/usr/bin/env bash
# Starts the real program headless in a fresh working folder: it must leave the user's files
# alone, refuse a second copy while the first runs, and end by itself with the missing-theme
# message (the runtime folder has no theme pictures), writing its settings file and event log on
# the way out; asked for English, it says so in English.
set -u
app=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
export HERONWATCH_WORKDIR="$work/data"
export HERONWATCH_RUNTIME_DIR="$work/runtime"
export XDG_RUNTIME_DIR="$work/run"
export QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_RUNTIME_DIR" "$HERONWATCH_RUNTIME_DIR/Storage"
echo '[]' > "$HERONWATCH_RUNTIME_DIR/Storage/demo.json"
mkdir -p "$HERONWATCH_WORKDIR/Storage"
echo 'user data' > "$HERONWATCH_WORKDIR/Storage/demo.json"

fail() { echo "FAIL: $*"; exit 1; }

# The first copy holds its message box open for 3 s; the second starts meanwhile.
HERONWATCH_MESSAGE_TIMEOUT_MS=3000 "$app" > "$work/first.out" 2>&1 &
first=$!
sleep 1
HERONWATCH_MESSAGE_TIMEOUT_MS=3000 timeout 20 "$app" > "$work/second.out" 2>&1
second_status=$?
wait $first
first_status=$?

grep -q 'このアプリは起動済みです。' "$work/second.out" || fail "second copy did not refuse: $(cat "$work/second.out")"
[ "$second_status" -eq 0 ] || fail "second copy exited with $second_status"
grep -q 'MaxIntensity.bmp' "$work/first.out" || fail "no missing-theme message: $(cat "$work/first.out")"
[ "$first_status" -eq 0 ] || fail "first copy exited with $first_status"
[ "$(cat "$HERONWATCH_WORKDIR/Storage/demo.json")" = "user data" ] || fail "the start changed a user file"
grep -q '^Reload=2' "$HERONWATCH_WORKDIR/Heronwatch.ini" || fail "settings file not written"
grep -q 'Log End' "$HERONWATCH_WORKDIR/Eventlog/event.log" 2>/dev/null && fail "log written although the folder was never made"
[ -d "$HERONWATCH_WORKDIR/Setting" ] || fail "Setting folder not created"

# Asked for English, the program shows the same message box in English.
HERONWATCH_LANG=en HERONWATCH_MESSAGE_TIMEOUT_MS=100 timeout 20 "$app" > "$work/english.out" 2>&1
grep -q 'Cannot read the maximum intensity file "MaxIntensity.bmp"' "$work/english.out" ||
  fail "no English message: $(cat "$work/english.out")"
echo "startup check passed"
