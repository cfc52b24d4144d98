#!/usr/bin/env bash
# framehost on encoded files, against what decoding them costs ffmpeg: on a
# 1920x1080 H.264 interlaced clip of 200 frames and a 720x480 MPEG-2
# telecined clip of 600 frames, one hyperfine run each of
#   framehost FILE                                  (decode, copy, scan)
#   ffmpeg -i FILE -f null -                        (decoding alone, the limit)
#   ffmpeg -i FILE -vf idet -f null -               (ffmpeg's own field detector)
#   ffmpeg -i FILE -f yuv4mpegpipe - | framehost -  (the pipe users build today)
# then peak memory with GNU time, of framehost and of the decode-only ffmpeg,
# and of framehost on 2000 frames of the same source (memory must not grow
# with the clip's length). Every decoder runs libavcodec's automatic thread
# count, which is the same for framehost and ffmpeg. Needs ffmpeg with
# libx264, hyperfine and GNU time (Debian: ffmpeg hyperfine time).
#
#   bench/framehost_media_e2e.sh

set -euo pipefail
cd "$(dirname "$0")/.."

for tool in ffmpeg hyperfine /usr/bin/time python3; do
  command -v "$tool" >/dev/null || {
    echo "needs $tool (Debian: ffmpeg hyperfine time python3)" >&2
    exit 2
  }
done
work=build/bench-media-e2e
mkdir -p "$work"
cmake --preset release >/dev/null
cmake --build --preset release --target framehost VorlithSSE >/dev/null
framehost=$PWD/build/release/bin/framehost

h264_clip() { # h264_clip FRAMES PATH
  [ -f "$2" ] || ffmpeg -v error -f lavfi -i testsrc2=size=1920x1080:rate=25 -frames:v "$1" \
    -pix_fmt yuv420p -c:v libx264 -preset veryfast -flags +ildct+ilme -x264opts tff=1 "$2"
}
mpeg2_clip() { # mpeg2_clip FRAMES PATH
  [ -f "$2" ] || ffmpeg -v error -f lavfi -i testsrc2=size=720x480:rate=24000/1001 \
    -vf telecine=first_field=top:pattern=23 -frames:v "$1" -c:v mpeg2video -b:v 8M \
    -flags +ildct+ilme -top 1 "$2"
}
h264_clip 200 "$work/h264i-200.mkv"
h264_clip 2000 "$work/h264i-2000.mkv"
mpeg2_clip 600 "$work/mpeg2-telecined-600.mpg"
mpeg2_clip 2000 "$work/mpeg2-telecined-2000.mpg"

peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }

run() { # run NAME CLIP LONG_CLIP
  local name=$1 clip=$2 long=$3
  hyperfine --warmup 1 --runs 5 --export-json "$work/$name.json" \
    -n decode "ffmpeg -v error -i $clip -f null -" \
    -n idet "ffmpeg -v error -i $clip -vf idet -f null -" \
    -n framehost "$framehost --quiet $clip" \
    -n pipe "ffmpeg -v error -i $clip -f yuv4mpegpipe - | $framehost --quiet -"
  local decode_kib framehost_kib framehost_long_kib
  decode_kib=$(peak_kib ffmpeg -v error -i "$clip" -f null -)
  framehost_kib=$(peak_kib "$framehost" --quiet "$clip")
  framehost_long_kib=$(peak_kib "$framehost" --quiet "$long")
  python3 - "$name" "$work/$name.json" "$decode_kib" "$framehost_kib" "$framehost_long_kib" <<'PY'
import json, sys
name, times_path = sys.argv[1], sys.argv[2]
decode_kib, fh_kib, fh_long_kib = (int(v) for v in sys.argv[3:6])
t = {r["command"]: r["mean"] for r in json.load(open(times_path))["results"]}
print(f"{name}: ffmpeg decode {t['decode']:.3f} s, idet {t['idet']:.3f} s "
      f"(idet / decode = {t['idet'] / t['decode']:.3f}); decode peak {decode_kib} KiB")
fh = t["framehost"]
print(f"{name}: framehost / decode only = {fh / t['decode']:.3f} (target <= 1.10)")
print(f"{name}: framehost / ffmpeg idet = {fh / t['idet']:.3f} (target <= 0.95)")
print(f"{name}: framehost / pipe        = {fh / t['pipe']:.3f} (target <= 0.90)")
print(f"{name}: peak memory framehost / decode only = {fh_kib / decode_kib:.3f} "
      f"(target <= 1.1): {fh_kib} KiB vs {decode_kib} KiB")
print(f"{name}: peak memory framehost on 2000 frames / on the short clip = "
      f"{fh_long_kib / fh_kib:.3f} (flat: about 1)")
PY
}

run h264-interlaced-1080 "$work/h264i-200.mkv" "$work/h264i-2000.mkv"
run mpeg2-telecined-480 "$work/mpeg2-telecined-600.mpg" "$work/mpeg2-telecined-2000.mpg"
