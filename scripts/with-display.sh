#!/usr/bin/env bash
# Runs a command with a display: the session's own when DISPLAY is set,
# else a virtual one from xvfb-run.
# -noreset keeps the virtual server up between clients: by default it
# resets whenever its last client leaves, and a window test that connects
# during that reset fails to start.
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "error: no DISPLAY and no xvfb-run; run scripts/setup.sh first" >&2
  exit 1
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"
