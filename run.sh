#!/usr/bin/env bash
# Installs what is missing, builds, and opens the main window on a copy of the
# bundled examples: started in the sample planning-tool folder (where
# config.xml and config_gem.xml are read), with the sample character folder
# as the game's folder. Without a display it runs a preview and a build of a
# sample from the command line instead. Nothing in the repository is changed.
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")"
scripts/setup.sh build

here=$(pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/brindlemarque-run-XXXXXX")
cp -r examples/vesko examples/appdata "$work/"
# Backups of the copies stay with them, not among the user's own.
export XDG_DATA_HOME=$work/backups
echo "Working copy of the examples: $work"
echo "  templates:  $work/vesko/templates/*.vsk"
echo "  characters: $work/appdata/Electronic Arts/Dark Age of Camelot/LotM"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # No window to open: do the main job from the command line instead.
  cli=$here/build/bin/brindlemarque-cli
  character="$work/appdata/Electronic Arts/Dark Age of Camelot/LotM/Alarion-4.ini"
  template=$work/vesko/templates/Alarion_Armsman.vsk
  echo
  echo "No display, so the build runs from the command line. What it would write:"
  "$cli" preview --template "$template" --character "$character" --config-dir "$work/vesko"
  echo
  "$cli" build --template "$template" --character "$character" --config-dir "$work/vesko"
  echo
  echo "The character file now holds:"
  tr -d '\r' < "$character" | awk '/^\[/ { shown = ($0 == "[Quickbar2]") } shown'
  echo
  echo "The file's bytes before the build are kept as a backup; to undo the build:"
  echo "  XDG_DATA_HOME='$XDG_DATA_HOME' $cli restore --character '$character'"
  echo
  echo "To open the window: run ./run.sh in a desktop session, or under a virtual display: xvfb-run -a ./run.sh"
  exit 0
fi

cd "$work/vesko"
APPDATA="$work/appdata" exec "$here/build/bin/Brindlemarque"
