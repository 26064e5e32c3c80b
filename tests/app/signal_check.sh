#!/usr/bin/env bash
# Sends SIGTERM, SIGINT or SIGHUP to the real program at several moments of its run: as soon as
# it can catch them, and once its window runs. Each time it must end by itself with status 0
# and write its settings file, as its exit command does. A message box before the main window
# ends on them too.
set -u
app=$1
runtime=$2
work=$3
rm -rf "$work"
mkdir -p "$work/run"
chmod 700 "$work/run"
export HERONWATCH_RUNTIME_DIR="$runtime"
export XDG_RUNTIME_DIR="$work/run"
export QT_QPA_PLATFORM=offscreen
# Nothing listens there: fetches fail at once instead of reaching the network.
export HERONWATCH_API_BASE=http://127.0.0.1:9
export HERONWATCH_SANDBOX_BASE=http://127.0.0.1:9
export HERONWATCH_STATION_BASE=http://127.0.0.1:9
export HERONWATCH_PUSH_URL=ws://127.0.0.1:9
export HERONWATCH_SANDBOX_PUSH_URL=ws://127.0.0.1:9

fail() { echo "FAIL: $*"; exit 1; }

# Waits up to 30 s for a condition, checking it every 20 ms.
wait_for() {
  for _ in $(seq 1500); do
    "$@" && return 0
    sleep 0.02
  done
  return 1
}
catches_term() { # the process has its own handler for SIGTERM (bit 15 of SigCgt)
  local mask
  mask=$(awk '/^SigCgt:/ { print $2 }' "/proc/$1/status" 2>/dev/null) || return 1
  [ -n "$mask" ] && (( (16#$mask >> 14) & 1 ))
}
window_runs() { grep -q 'Log Start' "$1/Eventlog/event.log" 2>/dev/null; }
ended() { ! kill -0 "$1" 2>/dev/null; }

run=0
for moment in caught window; do
  for signal in TERM INT HUP; do
    run=$((run + 1))
    data="$work/data$run"
    export HERONWATCH_WORKDIR="$data"
    "$app" > "$work/out$run" 2>&1 &
    pid=$!
    case $moment in
      caught) wait_for catches_term "$pid" || fail "run $run: no handler for SIGTERM" ;;
      window) wait_for window_runs "$data" || fail "run $run: the window never ran" ;;
    esac
    kill -s "$signal" "$pid"
    wait_for ended "$pid" || { kill -KILL "$pid"; fail "run $run: SIG$signal at $moment ignored"; }
    wait "$pid"
    status=$?
    [ "$status" -eq 0 ] || fail "run $run: SIG$signal at $moment gave status $status: $(cat "$work/out$run")"
    grep -q '^Reload=2' "$data/Heronwatch.ini" 2>/dev/null ||
      fail "run $run: SIG$signal at $moment: settings file not written"
  done
done
# A message box shown before the main window exists (here: a working folder that cannot be
# made) ends at once on each signal, and the program with it.
for signal in TERM INT HUP; do
  run=$((run + 1))
  HERONWATCH_WORKDIR=/dev/null/heronwatch "$app" > "$work/out$run" 2>&1 &
  pid=$!
  wait_for grep -q 'not started' "$work/out$run" || fail "run $run: no working-folder message"
  wait_for catches_term "$pid" || fail "run $run: no handler for SIGTERM"
  kill -s "$signal" "$pid"
  wait_for ended "$pid" || { kill -KILL "$pid"; fail "run $run: SIG$signal ignored by the box"; }
  wait "$pid"
  status=$?
  [ "$status" -eq 1 ] || fail "run $run: SIG$signal at the box gave status $status"
done
echo "signal check passed"
