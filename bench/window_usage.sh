#!/usr/bin/env bash
# Peak memory and CPU of the program showing the demo in a window under Xvfb with openbox.
#
#   bench/window_usage.sh PROGRAM WIDTH HEIGHT SECONDS [DEMO] [STREAM]
#
# WIDTH × HEIGHT is the window's rectangle with its frame. DEMO 2 (the default) is the rotating
# demo; 1 shows one demo report, so that after its first cross-fades only the ticker and the
# pulse move. CPU is counted from 20 s after the start (start-up and the first composition left
# out) to the end; the peak resident size (VmHWM) covers the whole run. Nothing is fetched: the
# service's addresses point at a closed port. STREAM "on" turns the outputs for streams on: the
# picture file and the local page, with a client that fetches every new picture the page
# announces, as the page in a browser does.
set -euo pipefail
program=$(realpath "$1") width=$2 height=$3 seconds=$4 demo=${5:-2} stream=${6:-off}
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
display=":$((90 + RANDOM % 100))"
pids=()
cleanup() {
  kill "${pids[@]}" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 "$((width + 64))x$((height + 64))x24" -nolisten tcp &
pids+=($!)
for _ in $(seq 200); do
  xdpyinfo -display "$display" >/dev/null 2>&1 && break
  sleep 0.05
done
DISPLAY=$display openbox >/dev/null 2>&1 &
pids+=($!)

mkdir -p "$work/data" "$work/run"
chmod 700 "$work/run"
cat >"$work/data/Heronwatch.ini" <<EOF
[Position]
Left=0
Top=0
Right=$width
Bottom=$height
MaxX=$width
MaxY=$height
[Flag]
Ontop=0
Demo=$demo
EOF
port=$((20000 + RANDOM % 20000))
if [ "$stream" = on ]; then
  printf '[Stream]\nFile=stream/picture.png\nHttp=1\nPort=%d\n' "$port" >>"$work/data/Heronwatch.ini"
  mkdir -p "$work/data/stream"
fi

DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/run" HERONWATCH_WORKDIR="$work/data" \
  HERONWATCH_RUNTIME_DIR="$here/runtime" HERONWATCH_API_BASE=http://127.0.0.1:9 \
  HERONWATCH_SANDBOX_BASE=http://127.0.0.1:9 HERONWATCH_STATION_BASE=http://127.0.0.1:9 \
  HERONWATCH_PUSH_URL=ws://127.0.0.1:9/ "$program" >"$work/out.log" 2>&1 &
app=$!
pids+=("$app")

if [ "$stream" = on ]; then
  # The page's part: every announced picture is fetched.
  (
    for _ in $(seq 200); do
      curl -s -o /dev/null "http://127.0.0.1:$port/" && break
      sleep 0.1
    done
    curl -sN "http://127.0.0.1:$port/events" | while read -r line; do
      case $line in "event: picture"*) curl -s -o /dev/null "http://127.0.0.1:$port/picture.png" ;; esac
    done
  ) &
  pids+=($!)
fi

ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
sleep 20
begin=$(ticks)
sleep "$((seconds - 20))"
end=$(ticks)
hz=$(getconf CLK_TCK)
client=$(DISPLAY=$display xdotool search --pid "$app" 2>/dev/null | head -1 |
  xargs -r -I{} env DISPLAY="$display" xdotool getwindowgeometry {} | awk '/Geometry/ {print $2}')
peak=$(awk '/VmHWM/ {print $2}' "/proc/$app/status")
awk -v b="$begin" -v e="$end" -v hz="$hz" -v s="$((seconds - 20))" -v peak="$peak" \
  -v client="$client" -v demo="$demo" -v stream="$stream" 'BEGIN {
    printf "window %s, demo %d, streams %s: CPU %.2f %% of a core over %d s, peak RSS %.0f MB\n",
      client, demo, stream, 100 * (e - b) / hz / s, s, peak / 1024 }'
