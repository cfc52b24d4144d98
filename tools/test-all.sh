#!/usr/bin/env bash
# Configures, builds and runs every test suite of the project: the native
# build, then the 32-bit Windows build with its tests under wine.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset release

# The Windows stage needs the MinGW-w64 cross compiler, wine and the
# GoogleTest source, which it builds with the cross compiler.
missing=()
for tool in i686-w64-mingw32-g++-posix wine wineserver; do
  command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
[ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(/usr/src/googletest)
if [ "${#missing[@]}" -gt 0 ]; then
  echo "NOTE: win32 stage skipped, missing: ${missing[*]}" \
    "(Debian: g++-mingw-w64-i686 wine wine32:i386 googletest; or run .ci/run)" >&2
  exit 0
fi
cmake --workflow --preset win32
