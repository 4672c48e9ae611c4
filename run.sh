#!/usr/bin/env bash
# Installs what is missing, builds, and opens the main window on a copy of the
# bundled examples: started in the sample planning-tool folder (where
# config.xml and config_gem.xml are read), with the sample character folder
# as the game's folder. Nothing in the repository is changed.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh build

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display to open the window on (DISPLAY is not set)." >&2
  echo "        Run it from a desktop session, or under a virtual one: xvfb-run -a ./run.sh" >&2
  echo "        Without a window: build/bin/brindlemarque-cli --help" >&2
  exit 1
fi

here=$(pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/brindlemarque-run-XXXXXX")
cp -r examples/vesko examples/appdata "$work/"
echo "Working copy of the examples: $work"
echo "  templates:  $work/vesko/templates/*.vsk"
echo "  characters: $work/appdata/Electronic Arts/Dark Age of Camelot/LotM"
cd "$work/vesko"
APPDATA="$work/appdata" exec "$here/build/bin/Brindlemarque"
