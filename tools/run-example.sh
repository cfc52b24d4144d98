#!/usr/bin/env bash
# The main job on the built-in example: builds framehost, the plugin and the
# example clip generator, makes a 720x480 clip with 3:2 pulldown, and runs
# Vorlith over it with show=true. The report lines and the summary appear
# here; the marked clip is written to build/example/marked.y4m.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset release >/dev/null
cmake --build --preset release --target framehost VorlithSSE make_pulldown_clip >/dev/null
mkdir -p build/example
build/release/bin/make_pulldown_clip build/example/pulldown.y4m
build/release/bin/framehost build/example/pulldown.y4m show=true -o build/example/marked.y4m
echo "marked clip: build/example/marked.y4m (input: build/example/pulldown.y4m)"
