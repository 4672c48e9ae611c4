#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program's main job on the
# bundled examples: a build of the sample Albion template onto a copy of a
# sample character file, from the sample planning-tool folder.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh build

here=$(pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/brindlemarque-run-XXXXXX")
cp -r examples/vesko/templates "$work/"
cp "examples/appdata/Electronic Arts/Dark Age of Camelot/LotM/Alarion-4.ini" "$work/"

cd examples/vesko   # config.xml and config_gem.xml are read from the current folder
echo "== preview"
"$here/build/bin/brindlemarque-cli" preview --template "$work/templates/Alarion_Armsman.vsk" --character "$work/Alarion-4.ini"
echo "== build"
"$here/build/bin/brindlemarque-cli" build --template "$work/templates/Alarion_Armsman.vsk" --character "$work/Alarion-4.ini"
echo "== the character file's quickbars and macros now"
tr -d '\r' < "$work/Alarion-4.ini" | sed -n '/^\[Quickbar/,/^\[QuickBinds\]/p'
echo "(working copy: $work)"
