#!/usr/bin/env bash
# Configures, builds and runs every test suite of the project: the release
# build; the same suites under AddressSanitizer, LeakSanitizer and UBSan;
# the fuzz build (its tests replay each seed corpus) and each fuzz target
# for FUZZ_SECONDS (default 60); and the 32-bit Windows build with its tests
# under wine. A stage whose tools are missing is skipped with a note, except
# under CI, where it fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

skip() { # skip STAGE REASON
  echo "NOTE: $1 stage skipped: $2" >&2
  if [ "${CI:-}" = "true" ]; then
    echo "test-all.sh: CI needs the $1 stage; failing (.ci/run installs what it needs)" >&2
    exit 1
  fi
}

can_link_libfuzzer() {
  command -v clang++ >/dev/null 2>&1 || return 1
  local probe linked=0
  probe=$(mktemp -d)
  printf '%s\n' '#include <cstddef>' '#include <cstdint>' \
    'extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }' \
    >"$probe/probe.cpp"
  clang++ -fsanitize=fuzzer "$probe/probe.cpp" -o "$probe/probe" >/dev/null 2>&1 || linked=1
  rm -rf "$probe"
  return "$linked"
}

fuzz_stage() {
  cmake --workflow --preset fuzz
  local passed=0 failed=0 seeds
  for seeds in fuzz/corpus/*/; do
    if tools/fuzz.sh "$(basename "$seeds")" "${FUZZ_SECONDS:-60}"; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
    fi
  done
  echo "fuzz: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

# The Windows stage needs the MinGW-w64 cross compiler, wine and the
# GoogleTest source, which it builds with the cross compiler.
win32_missing() {
  local tool missing=()
  for tool in i686-w64-mingw32-g++-posix wine wineserver; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
  done
  [ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(/usr/src/googletest)
  echo "${missing[*]}"
}

cmake --workflow --preset release
cmake --workflow --preset asan

if can_link_libfuzzer; then
  fuzz_stage
else
  skip fuzz "clang++ cannot link -fsanitize=fuzzer (Debian: clang libclang-rt-14-dev)"
fi

missing=$(win32_missing)
if [ -z "$missing" ]; then
  cmake --workflow --preset win32
else
  skip win32 "missing $missing (Debian: g++-mingw-w64-i686 wine wine32:i386 googletest)"
fi
