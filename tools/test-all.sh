#!/usr/bin/env bash
# Configures, builds and runs every test suite of the project: the release
# build, the same suites under AddressSanitizer, LeakSanitizer and UBSan,
# then the fuzz build (its tests replay each seed corpus) and each fuzz
# target for FUZZ_SECONDS (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset release
cmake --workflow --preset asan

# The fuzz stage needs clang and its libFuzzer runtime, which a developer's
# machine may lack; .ci/run installs both. Under CI a missing one fails the
# run, elsewhere the stage is skipped with a note.
can_link_libfuzzer() {
  command -v clang++ >/dev/null 2>&1 || return 1
  local probe
  probe=$(mktemp -d)
  printf '%s\n' '#include <cstddef>' '#include <cstdint>' \
    'extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }' \
    >"$probe/probe.cpp"
  local linked=0
  clang++ -fsanitize=fuzzer "$probe/probe.cpp" -o "$probe/probe" >/dev/null 2>&1 || linked=1
  rm -rf "$probe"
  return "$linked"
}
if ! can_link_libfuzzer; then
  echo "test-all.sh: clang++ cannot link -fsanitize=fuzzer (on Debian: apt-get install clang" \
    "libclang-rt-14-dev)"
  if [ "${CI:-}" = "true" ]; then
    echo "test-all.sh: CI needs the fuzz stage; failing"
    exit 1
  fi
  echo "test-all.sh: the fuzz stage is skipped"
  exit 0
fi

cmake --workflow --preset fuzz
passed=0
failed=0
for seeds in fuzz/corpus/*/; do
  if tools/fuzz.sh "$(basename "$seeds")" "${FUZZ_SECONDS:-60}"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
