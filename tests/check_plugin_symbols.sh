#!/usr/bin/env bash
# Checks the built plugin library: it exports AvisynthPluginInit2 and nothing
# else, has no variables of its own, and runs none of its own code when it
# is loaded or unloaded (no static initialisers or destructors).
set -euo pipefail
library=$1
status=0
fail() { echo "FAIL: $*"; status=1; }

exports=$(nm -D --defined-only "$library" | awk '{print $3}')
[ "$exports" = "AvisynthPluginInit2" ] || fail "exports: $(echo $exports)"

# Data the toolchain puts into every shared library, and the read-only
# tables of classes (vtables, type information).
toolchain='^(_DYNAMIC|_GLOBAL_OFFSET_TABLE_|__TMC_END__|__dso_handle|completed\.0|__frame_dummy_init_array_entry|__do_global_dtors_aux_fini_array_entry|DW\.ref\.__gxx_personality_v0|_ZT[VIS].*)$'
own_data=$(nm "$library" | awk '$2 ~ /^[bBdDgGsS]$/ {print $3}' | grep -Ev "$toolchain" || true)
[ -z "$own_data" ] || fail "variables: $(echo $own_data)"

initialisers=$(nm "$library" | grep -E '_GLOBAL__sub_[ID]_|_GLOBAL__I_|_GLOBAL__D_' || true)
[ -z "$initialisers" ] || fail "static initialisers: $initialisers"
# Static objects with destructors register them at run time; guarded
# function-local statics take a lock on first use.
registrations=$(nm -D --undefined-only "$library" | grep -E '__cxa_atexit|__cxa_guard_acquire|atexit' || true)
[ -z "$registrations" ] || fail "run-time registrations: $registrations"
# One entry each: the toolchain's own frame_dummy and __do_global_dtors_aux.
for section in .init_array .fini_array; do
  size=$(readelf -SW "$library" | sed -n "s/.*\\$section *[A-Z_]* *[0-9a-f]* [0-9a-f]* \\([0-9a-f]*\\).*/\\1/p")
  [ -z "$size" ] || [ $((16#$size)) -le 8 ] || fail "$section holds $((16#$size / 8)) entries"
done
readelf -SW "$library" | grep -qE ' \.ctors | \.dtors ' && fail ".ctors/.dtors present"

[ $status -eq 0 ] && echo "$library: one export, no variables, no load-time code"
exit $status
