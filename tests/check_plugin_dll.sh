#!/usr/bin/env bash
# check_plugin_dll.sh OBJDUMP NM DLL OUR_OBJECTS_AND_ARCHIVES...
#
# Checks the built plugin DLL: it exports _AvisynthPluginInit2@4 and nothing
# else; it imports only Windows' own DLLs and the compiler's unwinder DLL,
# whose own imports are Windows' or lie beside the plugin; and the code of
# our own that went into it (the objects and archives named) holds no
# variables, no static constructors or destructors, no thread-local data
# and no TLS callbacks. (The C and C++ runtimes linked in bring their own
# start-up code, which is not ours to check.)
set -euo pipefail
objdump=$1 nm=$2 dll=$3
ours=("${@:4}")
status=0
fail() { echo "FAIL: $*"; status=1; }

exports=$("$objdump" -p "$dll" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^\t\[ *[0-9]*\] //p')
[ "$exports" = "_AvisynthPluginInit2@4" ] || fail "exports: $(echo $exports)"

imports_of() { "$objdump" -p "$1" | sed -n 's/^\tDLL Name: //p' | sort -f; }
system_dlls='^(KERNEL32|msvcrt)\.dll$'
# The unwinder must be the one shared DLL: an exception from the host could
# not unwind through the plugin's frames with a copy of its own.
[ "$(imports_of "$dll" | tr '\n' ' ')" = "KERNEL32.dll libgcc_s_dw2-1.dll msvcrt.dll " ] ||
  fail "imports: $(imports_of "$dll" | tr '\n' ' ')"
# Everything the plugin needs beyond Windows' own DLLs lies beside it.
directory=$(dirname "$dll")
needed=()
queue=($(imports_of "$dll" | grep -Eiv "$system_dlls" || true))
while [ ${#queue[@]} -gt 0 ]; do
  next=${queue[0]}
  queue=("${queue[@]:1}")
  case " ${needed[*]} " in *" $next "*) continue ;; esac
  needed+=("$next")
  if [ ! -f "$directory/$next" ]; then
    fail "$next is needed but not beside the plugin"
    continue
  fi
  queue+=($(imports_of "$directory/$next" | grep -Eiv "$system_dlls" || true))
done

# Variables of our own, static locals and thread-locals (which GCC keeps
# in __emutls_v. variables here) included, have symbols in data sections;
# the names that begin with a dot are those of the sections themselves.
# (An object with exception tables has four bytes of .data without a
# symbol: the toolchain's pointer to the personality routine.)
own_data=$("$nm" "${ours[@]}" 2>/dev/null | awk '$2 ~ /^[bBdDcCgGsS]$/ && $3 !~ /^\./ {print $3}')
[ -z "$own_data" ] || fail "variables: $(echo $own_data)"
# Static constructors and destructors run from .ctors and .dtors; native
# thread-locals would live in .tls, and TLS callbacks in .CRT$XL*.
load_time=$("$objdump" -h "${ours[@]}" | awk '$2 ~ /^\.(ctors|dtors|tls|CRT)/ {print $2}' | sort -u)
[ -z "$load_time" ] || fail "load-time sections: $(echo $load_time)"
initialisers=$("$nm" "${ours[@]}" 2>/dev/null | grep -E '_GLOBAL__sub_[ID]_' || true)
[ -z "$initialisers" ] || fail "static initialisers: $initialisers"
# Static objects with destructors register them at run time; guarded
# function-local statics take a lock on first use.
registrations=$("$nm" -u "${ours[@]}" 2>/dev/null | grep -E '(atexit|_onexit|__cxa_guard_acquire)$' || true)
[ -z "$registrations" ] || fail "run-time registrations: $registrations"

[ $status -eq 0 ] && echo "$dll: one export, needs ${needed[*]} beside it, nothing of ours runs at load"
exit $status
