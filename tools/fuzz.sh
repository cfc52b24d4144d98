#!/usr/bin/env bash
# Runs one target of the fuzz build for a bounded time:
#
#   tools/fuzz.sh TARGET [SECONDS]     (default 60; build first with
#                                       cmake --workflow --preset fuzz)
#
# The seed corpus fuzz/corpus/TARGET/ is only read; inputs that find new
# coverage go to build/fuzz/corpus/TARGET/ and feed the next run. A crash,
# leak, timeout or mismatch fails the run and leaves its input in a fresh
# build/fuzz/artifacts/TARGET/<time>/, which is printed here in hex and base64
# so that the log alone can reproduce it. Replay one with
#   build/fuzz/bin/TARGET FILE
set -euo pipefail
cd "$(dirname "$0")/.."

target=${1:?usage: tools/fuzz.sh TARGET [SECONDS]}
seconds=${2:-60}
binary=build/fuzz/bin/$target
seeds=fuzz/corpus/$target
if [ ! -d "$seeds" ]; then
  echo "fuzz.sh: no fuzz target $target (no $seeds/)" >&2
  exit 2
fi
if [ ! -x "$binary" ]; then
  echo "fuzz.sh: $binary is not built; run cmake --workflow --preset fuzz" >&2
  exit 2
fi

corpus=build/fuzz/corpus/$target
artifacts=build/fuzz/artifacts/$target/$(date +%Y%m%d-%H%M%S)
mkdir -p "$corpus" "$artifacts"

echo "fuzz.sh: $target for ${seconds}s"
status=0
UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} \
  "$binary" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
  -artifact_prefix="$artifacts/" "$corpus" "$seeds" || status=$?

shopt -s nullglob
found=("$artifacts"/*)
if [ "$status" -eq 0 ] && [ "${#found[@]}" -eq 0 ]; then
  rmdir "$artifacts"
  exit 0
fi
echo "fuzz.sh: $target failed (exit status $status)"
for file in "${found[@]}"; do
  echo "reproducer: $file ($(wc -c <"$file") bytes); replay: $binary $file"
  echo "hex:"
  od -An -tx1 -v "$file"
  echo "base64:"
  base64 "$file"
done
exit 1
