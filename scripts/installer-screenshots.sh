#!/usr/bin/env bash
# Screenshots of the Windows installer's "Planner folder" page under Wine on
# a virtual display, in English, German and French (the installer takes the
# system's language): docs/installer-planner-folder-en.png, -de.png, -fr.png.
# Needs the installer that scripts/windows-test.sh makes.
#   scripts/installer-screenshots.sh
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
here=$PWD
installer=$(ls build-windows/Brindlemarque-*-win64.exe 2>/dev/null | head -n 1 || true)
[ -n "$installer" ] || { echo "screenshots: no installer in build-windows/; run scripts/windows-test.sh" >&2; exit 1; }
mkdir -p docs
for pair in en:en_US.UTF-8 de:de_DE.UTF-8 fr:fr_FR.UTF-8; do
  language=${pair%%:*}
  # Wine's desktop process belongs to the display it was started on.
  WINEPREFIX=$here/build-windows/wine wineserver -k 2>/dev/null || true
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -euo pipefail
    here=$1 installer=$2 shot=$3
    LANG=$4 LC_ALL=$4 "$here/scripts/wine-run.sh" "$installer" >/dev/null 2>&1 &
    pid=$!
    id=
    for i in $(seq 300); do
      id=$(xdotool search --onlyvisible --name "Brindlemarque" 2>/dev/null | head -n 1 || true)
      [ -n "$id" ] && break
      sleep 0.2
    done
    [ -n "$id" ] || { echo "screenshots: the installer did not open" >&2; kill $pid; exit 1; }
    sleep 2
    # The welcome page first; Next (the default button) leads to the planner page.
    xdotool windowfocus --sync "$id" key Return
    sleep 2
    import -window "$id" "$shot"
    kill $pid 2>/dev/null || true
  ' _ "$here" "$here/$installer" "$here/docs/installer-planner-folder-$language.png" "${pair#*:}"
done
WINEPREFIX=$here/build-windows/wine wineserver -k 2>/dev/null || true
echo "installer screenshots in docs/"
