#!/bin/sh
# framehost_stalled_stderr.sh DIR SECONDS FRAMES REPORTED FRAMEHOST...
#
# Runs the command FRAMEHOST, which reports REPORTED of FRAMES frames, with
# its standard error into a pipe that nobody reads for SECONDS, and fails
# unless the run succeeds with every report line passed on and counted.
# The lines must be more than the pipe holds (64 KiB), so that the run
# really waits for its standard error. DIR holds the pipe and what passed.
set -u
dir=$1 seconds=$2 frames=$3 reported=$4
shift 4
. "$(dirname "$0")/framehost_run_checks.sh"

errors=$dir/stalled.pipe
rm -f "$errors"
mkfifo "$errors" || fail "cannot make $errors"
{
  sleep "$seconds"
  cat
} <"$errors" >"$dir/stalled.err" &
reader=$!
"$@" 2>"$errors"
status=$?
wait "$reader"
rm -f "$errors"

bytes=$(wc -c <"$dir/stalled.err")
[ "$bytes" -gt 65536 ] || fail "only $bytes bytes passed: too few to fill the pipe"
expect_full_count "the run" "$status" "$dir/stalled.err" "$frames" "$reported"
