#!/bin/sh
# wine-session.sh start WINESERVER WINE LOG | stop WINESERVER
#
# Starts or ends the wine session of the prefix that WINEPREFIX names (see
# WineSession.cmake). The server and the services write only to LOG, never
# to the caller's output, so nobody waits for them to close it.
set -u
case "${1-}" in
  start)
    # A server left by an interrupted run is ended first: one that stays
    # could be waited for forever.
    "$2" -k 2>/dev/null
    "$2" -w
    if ! { "$2" -p && "$3" wineboot; } </dev/null >"$4" 2>&1; then
      echo "wine-session.sh: cannot start the wine session:" >&2
      cat "$4" >&2
      exit 1
    fi
    ;;
  stop)
    # Nothing left to end is fine.
    "$2" -k 2>/dev/null || true
    ;;
  *)
    echo "usage: wine-session.sh start WINESERVER WINE LOG | stop WINESERVER" >&2
    exit 2
    ;;
esac
