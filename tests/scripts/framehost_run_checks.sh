# Sourced by the framehost scripts beside it: the checks of one finished run.

# fail MESSAGE...: says what went wrong and ends the script.
fail() {
  echo "$(basename "$0"): $*" >&2
  exit 1
}

# expect_full_count NAME STATUS ERRORS FRAMES REPORTED: the run NAME exited
# with STATUS, and its standard error, in the file ERRORS, holds REPORTED
# report lines and the summary of FRAMES frames with REPORTED reported.
expect_full_count() {
  [ "$2" = 0 ] || fail "$1 exited with $2:" "$(cat "$3")"
  lines=$(tr -d '\r' <"$3" | grep -c '^[0-4] frame=[0-9]* --- Blocks=[0-9]*$')
  [ "$lines" = "$5" ] || fail "$1 passed on $lines report lines, not $5"
  grep -q ": $4 frames processed, $5 reported (" "$3" ||
    fail "$1 did not sum up $4 frames with $5 reported:" "$(tail -n 1 "$3")"
}

# wait_for LIMIT PID FILE TEXT: waits, up to LIMIT seconds, until FILE holds
# TEXT; fails when it does not by then, or when process PID ended first.
wait_for() {
  tries=$(($1 * 10))
  until grep -q "$4" "$3" 2>/dev/null; do
    kill -0 "$2" 2>/dev/null || fail "the run ended before it wrote \"$4\":" "$(cat "$3")"
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || fail "no \"$4\" after $1 s"
    sleep 0.1
  done
}
