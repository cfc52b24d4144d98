#!/bin/sh
# two_framehosts_at_once.sh DIR CLIP FRAMES REPORTED FRAMEHOST...
#
# Runs the command FRAMEHOST twice at once over CLIP, which has FRAMES
# frames of which REPORTED are reported, and fails unless both runs succeed
# and each passes on and counts every report line of its own. So that the
# two surely overlap, the first reads the clip from a pipe that is fed in
# two parts: after the first part, once the first run has passed on a
# report line and so is listening, the second runs from start to end; then
# the rest is fed. DIR holds the pipe and what the runs write.
set -u
dir=$1 clip=$2 frames=$3 reported=$4
shift 4
. "$(dirname "$0")/framehost_run_checks.sh"

feed=$dir/two_at_once.feed
rm -f "$feed" "$dir/first.err" "$dir/second.err"
mkfifo "$feed" || fail "cannot make $feed"
"$@" - <"$feed" 2>"$dir/first.err" &
first=$!
exec 3>"$feed"
# About five and a half frames of 720x480: frames 2 and 3 are reported.
head -c 3000000 "$clip" >&3
wait_for 60 "$first" "$dir/first.err" "frame=3 "
"$@" "$clip" 2>"$dir/second.err"
second_status=$?
tail -c +3000001 "$clip" >&3
exec 3>&-
wait "$first"
first_status=$?
rm -f "$feed"

expect_full_count "the first run" "$first_status" "$dir/first.err" "$frames" "$reported"
expect_full_count "the second run" "$second_status" "$dir/second.err" "$frames" "$reported"
