#!/usr/bin/env bash
# Runs a command on the display with a window manager (openbox) managing
# it, as on a player's desktop: focus, raising and key delivery then work
# as they do there. A display that has one already keeps it.
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
: "${DISPLAY:?no display; run under scripts/with-display.sh}"
wm=
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  command -v openbox >/dev/null 2>&1 || { echo "error: no openbox; run scripts/setup.sh first" >&2; exit 1; }
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
fi
status=0
"$@" || status=$?
if [ -n "$wm" ]; then
  kill "$wm" 2>/dev/null || true
  wait "$wm" 2>/dev/null || true
  # The root window forgets the manager that left, for the next one.
  xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null || true
fi
exit "$status"
