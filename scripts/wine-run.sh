#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix
# (build-windows/wine, made on first use): the emulator of the cross build.
# Wine's menu builder is off, so that installs leave no entries in the
# menus of whoever runs the scripts. Wine's own messages are off unless
# WINEDEBUG asks for some (warn+heap: the heap checked at every call).
# With BRINDLEMARQUE_WINE_HEAP_CHECK=1 the heap is checked so, and any
# fault of it Wine reports fails the program, whatever its own exit status.
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${BRINDLEMARQUE_WINEPREFIX:-$here/build-windows/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ "${BRINDLEMARQUE_WINE_HEAP_CHECK:-}" != 1 ]; then
  exec wine "$@"
fi
export WINEDEBUG=warn+heap
log=$(mktemp)
trap 'rm -f "$log"' EXIT
fault='^[0-9a-f]{4}:(err|warn):heap|Unhandled page fault|Unhandled exception'
status=0
# Wine's messages and the program's error output go to a file (Wine's
# helpers, which may outlive the program, would hold a pipe open). A
# program whose heap is corrupt may hang in its own crash handling (the
# heap's lock is held): once Wine reports a fault, it is ended.
wine "$@" 2>"$log" &
pid=$!
while kill -0 "$pid" 2>/dev/null; do
  if grep -qE "$fault" "$log"; then
    sleep 1
    kill -9 "$pid" 2>/dev/null || true
    break
  fi
  sleep 0.1
done
wait "$pid" || status=$?
grep -vE '^[0-9a-f]{4}:(warn|err|fixme|trace):' "$log" >&2 || true
if grep -qE "$fault" "$log"; then
  echo "${0##*/}: Wine reported a fault of the heap in $1:" >&2
  grep -m 5 -E "$fault" "$log" >&2
  exit 1
fi
exit $status
