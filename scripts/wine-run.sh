#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix
# (build-windows/wine, made on first use): the emulator of the cross build.
# Wine's menu builder is off, so that installs leave no entries in the
# menus of whoever runs the scripts. Wine's own messages are off unless
# WINEDEBUG asks for some (warn+heap: the heap checked at every call).
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${BRINDLEMARQUE_WINEPREFIX:-$here/build-windows/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
exec wine "$@"
