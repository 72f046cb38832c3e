#!/usr/bin/env bash
# Benchmarks of the window front-end: the time from a key event to its echo
# drawn on the window (bench/window_latency), and the peak memory of the
# program running in its window, beside the headless program's.
# Usage: bench/run_window_bench.sh [build directory]   (default: a Release build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-}
if [ -z "$build" ]; then
  build="$root/build/release"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUIPULAR_TESTS=OFF >/dev/null
  cmake --build "$build" >/dev/null
fi
for tool in /usr/bin/time Xvfb; do
  command -v "$tool" >/dev/null || { echo "bench needs $tool (apt-get install time xvfb)"; exit 1; }
done
work=$(mktemp -d)
xvfb_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
export VESTRA_WINDIR="$build/voice-pack/windows" VESTRA_ROOT="$build/voice-pack" HOME="$work"
export QUIPULAR_AUDIO=none
if [ -z "${DISPLAY:-}" ]; then
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$work/display")"
fi

"$build/bench/window_latency" 400
keys='5<Enter>3<Enter>+<Enter><Esc>sn'
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
window=$(peak "$build/quipular" --window --keys "$keys")
headless=$(peak "$build/quipular" --headless --keys "$keys")
echo "peak memory, 5 Enter 3 Enter + Enter Esc s n: window $window KiB" \
  "($(( window / 1024 )) MiB; goal under 40 MiB), headless $headless KiB"
