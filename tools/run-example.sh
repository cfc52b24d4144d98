#!/usr/bin/env bash
# The main job on the built-in example: builds framehost, the plugin and the
# example clip generator, makes a 720x480 clip with 3:2 pulldown, encodes it
# as the interlaced MPEG-2 that a DVD carries, and runs Vorlith over that
# file with show=true. The report lines and the summary appear here; the
# marked clip is written to build/example/marked.y4m. Without ffmpeg, or in
# a build without FFmpeg's libraries, the clip is read as y4m instead.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset release >/dev/null
cmake --build --preset release --target framehost VorlithSSE make_pulldown_clip >/dev/null
mkdir -p build/example
build/release/bin/make_pulldown_clip build/example/pulldown.y4m
clip=build/example/pulldown.y4m
if command -v ffmpeg >/dev/null && grep -q '^FFMPEG_FOUND:INTERNAL=1' build/release/CMakeCache.txt
then
  ffmpeg -v error -y -i build/example/pulldown.y4m -c:v mpeg2video -q:v 2 \
    -flags +ilme+ildct -top 1 build/example/pulldown.mpg
  clip=build/example/pulldown.mpg
else
  echo "note: reading the y4m clip (ffmpeg, or this build's FFmpeg libraries, missing)" >&2
fi
build/release/bin/framehost "$clip" show=true -o build/example/marked.y4m
echo "marked clip: build/example/marked.y4m (input: $clip)"
