#!/usr/bin/env bash
# Benchmarks of the headless program: start-up to the first prompt, the
# whole run of "5 Enter 3 Enter + Enter" beside `echo "5 3 + p" | dc`, and
# a script of 10,000 keys of mixed arithmetic; medians and peak memory.
# Usage: bench/run_bench.sh [path/to/quipular]   (default: a Release build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-}
if [ -z "$bin" ]; then
  cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUIPULAR_TESTS=OFF >/dev/null
  cmake --build "$root/build/release" >/dev/null
  bin="$root/build/release/quipular"
fi
for tool in hyperfine dc /usr/bin/time python3; do
  command -v "$tool" >/dev/null || { echo "bench needs $tool (apt-get install hyperfine dc time python3)"; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# The voice pack of the build: every prompt is read from its file and played
# on the script's clock.
pack="$(dirname "$bin")/voice-pack"
export VESTRA_WINDIR="$pack/windows" VESTRA_ROOT="$pack" HOME="$work"

# 10,000 keys: numbers of one to four digits with Enter, then an operator
# with Enter, repeated; the stack keeps four levels so nothing runs dry.
python3 - > keys10k.txt <<'PY'
import random
random.seed(7)
keys, count = [], 0
ops = ['+', '-', '*', '/']
while count < 10000:
    n = str(random.randint(1, 9999))
    keys.append(n + '<Enter>'); count += len(n) + 1
    if random.random() < 0.5:
        keys.append(random.choice(ops) + '<Enter>'); count += 2
print(''.join(keys))
PY

median() { python3 -c "import json,sys; print('%.2f' % (json.load(open(sys.argv[1]))['results'][0]['median']*1000))" "$1"; }
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }

hyperfine -N -w 5 -r 50 --export-json startup.json -i "$bin --headless --keys ''" >/dev/null
hyperfine -N -w 5 -r 50 --export-json add.json -i "$bin --headless --keys '5<Enter>3<Enter>+<Enter>'" >/dev/null
hyperfine -w 5 -r 50 --export-json dc.json 'echo "5 3 + p" | dc' >/dev/null
hyperfine -N -w 1 -r 10 --export-json keys10k.json -i "$bin --headless --keys-file keys10k.txt" >/dev/null

add=$(median add.json); dcm=$(median dc.json)
echo "start-up to first prompt: median $(median startup.json) ms, peak $(peak "$bin" --headless --keys '') KiB"
echo "5 Enter 3 Enter + Enter:  median $add ms, peak $(peak "$bin" --headless --keys '5<Enter>3<Enter>+<Enter>') KiB"
echo "echo \"5 3 + p\" | dc:      median $dcm ms (ratio $(python3 -c "print('%.2f' % ($add/$dcm))"); goal at most 3)"
echo "10,000 keys of arithmetic: median $(median keys10k.json) ms, peak $(peak "$bin" --headless --keys-file keys10k.txt) KiB (goal under 49152 KiB)"

# How soon keys are heard, on SDL audio (the disk driver where there is no
# sound card: it takes each buffer at the pace of a real device), for the
# pack's 16-bit 22050 Hz prompts and the same as 8-bit 11025 Hz waves; how
# long a prompt takes to decode; the memory with the prompt cache full.
latency="$(dirname "$bin")/bench/audio_latency"
if [ -x "$latency" ]; then
  SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-disk} SDL_DISKAUDIOFILE=/dev/null \
    "$latency" "$(dirname "$bin")/voice-pack" 0 64 2>&1 | grep -v CRITICAL
fi
