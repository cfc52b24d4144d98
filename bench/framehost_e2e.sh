#!/usr/bin/env bash
# framehost end to end on a 1920x1080 clip of 200 frames, against ffmpeg's
# idet filter on the same file and against cat, in one run of hyperfine;
# then the peak memory of framehost and of ffmpeg idet, and of framehost on a
# clip twice as long, with /usr/bin/time. Needs ffmpeg, hyperfine and GNU
# time (Debian: ffmpeg hyperfine time). Prints the ratios at the end.
#
#   bench/framehost_e2e.sh [FRAMES]      (default 200)
set -euo pipefail
cd "$(dirname "$0")/.."

for tool in ffmpeg hyperfine /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "needs $tool (Debian: ffmpeg hyperfine time)" >&2; exit 2; }
done
frames=${1:-200}
work=build/bench-e2e
mkdir -p "$work"
cmake --preset release >/dev/null
cmake --build --preset release --target framehost VorlithSSE >/dev/null
framehost=build/release/bin/framehost

make_clip() { # make_clip FRAMES PATH
  [ -f "$2" ] || ffmpeg -v error -f lavfi -i testsrc2=size=1920x1080:rate=24000/1001 \
    -vf telecine=first_field=top:pattern=23 -frames:v "$1" -pix_fmt yuv420p -f yuv4mpegpipe "$2"
}
clip=$work/clip-$frames.y4m
long=$work/clip-$((2 * frames)).y4m
make_clip "$frames" "$clip"
make_clip $((2 * frames)) "$long"

hyperfine --warmup 2 --runs 10 --export-json "$work/times.json" \
  -n framehost "$framehost --quiet $clip" \
  -n "ffmpeg idet" "ffmpeg -v error -i $clip -vf idet -f null -" \
  -n cat "cat $clip > /dev/null"

peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
framehost_kib=$(peak_kib "$framehost" --quiet "$clip")
framehost_long_kib=$(peak_kib "$framehost" --quiet "$long")
idet_kib=$(peak_kib ffmpeg -v error -i "$clip" -vf idet -f null -)

python3 - "$work/times.json" "$framehost_kib" "$framehost_long_kib" "$idet_kib" "$frames" <<'PY'
import json, sys
times = {r["command"]: r["mean"] for r in json.load(open(sys.argv[1]))["results"]}
fh, fh_long, idet, frames = int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])
print(f"wall time: framehost / ffmpeg idet = {times['framehost'] / times['ffmpeg idet']:.3f} (target <= 0.3)")
print(f"wall time: framehost / cat         = {times['framehost'] / times['cat']:.3f} (target <= 1.5)")
print(f"peak memory: framehost / ffmpeg idet = {fh / idet:.3f} (target <= 0.4): {fh} KiB vs {idet} KiB")
print(f"peak memory: framehost on {2 * frames} frames / on {frames} = {fh_long / fh:.3f} (flat: about 1)")
PY
