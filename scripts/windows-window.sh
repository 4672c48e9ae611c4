#!/usr/bin/env bash
# The Windows window program under Wine on a virtual display: waits for its
# title, takes a screenshot (docs/main-window-windows.png with --screenshot),
# then runs one build through GO with the template and the character file
# given in the stored settings (the registry), and compares the character
# file with the Linux command line's result for the same settings. First,
# with a stand-in of the game's client running under Wine (a program file
# named game.dll), GO must ask before it writes, in a question that fits the
# screen, and its default answer (No), Escape and closing it must leave the
# file as it was. Before that, a right click in the
# window opens its menu, and each of its entries answers: Undo, the
# planner's folder, Preview (whose column headers must fit their columns,
# measured from outside by window_probe.exe) and the language.
#   scripts/windows-window.sh [--screenshot]
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
here=$PWD
exe=$here/build-windows/bin/Brindlemarque.exe
probe=$here/build-windows/bin/window_probe.exe
[ -f "$exe" ] || { echo "window: $exe is missing; run scripts/windows-test.sh" >&2; exit 1; }
shot=
[ "${1:-}" = --screenshot ] && shot=$here/docs/main-window-windows.png

work=$(mktemp -d "${TMPDIR:-/tmp}/brindlemarque-window-XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -r examples/vesko "$work/"
cp "examples/appdata/Electronic Arts/Dark Age of Camelot/LotM/Alarion-4.ini" "$work/Alarion-4.ini"
. scripts/wine-window.sh
# "quit" set: the window closes once the build succeeded.
store_job "$work/vesko/templates/Alarion_Armsman.vsk" "$work/Alarion-4.ini" 16

end_wine_desktop

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -euo pipefail
  here=$1 exe=$2 work=$3 shot=$4 caption=$5 probe=$6
  cd "$work/vesko"
  LANG=de_DE.UTF-8 BRINDLEMARQUE_WINE_HEAP_CHECK=1 "$here/scripts/wine-run.sh" "$exe" >"$work/wine.log" 2>&1 &
  pid=$!
  . "$here/scripts/wine-window.sh"
  id=$(window_titled "$caption" 450)
  [ -n "$id" ] || { echo "window: no window titled $caption" >&2; cat "$work/wine.log" >&2; kill $pid; exit 1; }
  sleep 2
  [ -n "$shot" ] && import -window "$id" "$shot"
  menu() { window_menu "$id" "$@" || { echo "window: a right click opened no menu" >&2; kill $pid; exit 1; }; }
  # Undo: no backup of this character yet, said in a box.
  menu l
  box=$(window_titled Brindlemarque 50)
  [ -n "$box" ] || { echo "window: the menu entry Undo showed nothing" >&2; kill $pid; exit 1; }
  xdotool windowfocus --sync "$box" key Return
  sleep 2
  # The planner folder: the folder chooser (titled as Wine titles it).
  menu o
  chooser=$(window_titled "Ordner auswählen" 50)
  [ -n "$chooser" ] || { echo "window: the menu entry for the planner folder showed no chooser" >&2; kill $pid; exit 1; }
  xdotool windowfocus --sync "$chooser" key Escape
  sleep 2
  # Preview, its column headers whole.
  menu v
  preview=$(window_titled Vorschau 50)
  [ -n "$preview" ] || { echo "window: the menu entry Preview showed no preview" >&2; kill $pid; exit 1; }
  sleep 1
  headers=$("$here/scripts/wine-run.sh" "$probe" columns Vorschau 2>&1 | tr -d "\r") \
    || { echo "window: the preview cuts its column headers:" >&2; echo "$headers" >&2; kill $pid; exit 1; }
  xdotool windowfocus --sync "$preview" key Escape
  sleep 2
  # The language: the window is made again in another one.
  menu s Down Down Return
  sleep 3
  "$here/scripts/wine-run.sh" reg query "HKCU\Software\Daoc\Brindlemarque\settings" /v language 2>/dev/null \
    | grep -q "REG_SZ *[a-z]" || { echo "window: the menu entry for the language chose none" >&2; kill $pid; exit 1; }
  id=$(window_titled "$caption" 50)
  [ -n "$id" ] || { echo "window: gone after the language was chosen" >&2; kill $pid; exit 1; }
  # GO is the default button and has the focus: Enter presses it. While
  # the game runs it asks first (a box captioned with the program name
  # alone), and Enter answers No.
  cp "$here/build-windows/bin/idle_program.exe" "$work/game.dll"
  "$here/scripts/wine-run.sh" "$work/game.dll" >>"$work/wine.log" 2>&1 &
  game=$!
  sleep 2
  original=$(md5sum < "$work/Alarion-4.ini")
  xdotool windowfocus --sync "$id" key Return
  question=$(window_titled Brindlemarque 100)
  [ -n "$question" ] || { echo "window: GO did not ask while game.dll runs" >&2; kill $pid; exit 1; }
  xdotool windowfocus --sync "$question" key Return
  sleep 2
  kill -0 $pid 2>/dev/null || { echo "window: closed after No" >&2; exit 1; }
  [ "$(md5sum < "$work/Alarion-4.ini")" = "$original" ] || { echo "window: No wrote the file" >&2; kill $pid; exit 1; }
  # Escape, and closing the question (Alt+F4, what its close box sends),
  # answer No too; the question lies within the screen, its text whole.
  for answer in Escape alt+F4; do
    xdotool windowfocus --sync "$id" key Return
    question=$(window_titled Brindlemarque 100)
    [ -n "$question" ] || { echo "window: GO did not ask while game.dll runs" >&2; kill $pid; exit 1; }
    sleep 1
    if [ $answer = Escape ]; then
      fits=$("$here/scripts/wine-run.sh" "$probe" fits Brindlemarque 2>&1 | tr -d "\r") \
        || { echo "window: the question does not fit the screen:" >&2; echo "$fits" >&2; kill $pid; exit 1; }
    fi
    xdotool windowfocus --sync "$question" key $answer
    sleep 2
    kill -0 $pid 2>/dev/null || { echo "window: closed after $answer on the question" >&2; exit 1; }
    [ "$(md5sum < "$work/Alarion-4.ini")" = "$original" ] \
      || { echo "window: $answer on the question wrote the file" >&2; kill $pid; exit 1; }
  done
  "$here/scripts/wine-run.sh" taskkill /f /im game.dll >/dev/null 2>&1 || kill $game
  wait $game 2>/dev/null || true
  xdotool windowfocus --sync "$id" key Return
  for i in $(seq 150); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 $pid 2>/dev/null; then echo "window: still open after GO" >&2; kill $pid; exit 1; fi
  wait $pid || { echo "window: the window ended with an error (Wine checks its heap):" >&2; tail -5 "$work/wine.log" >&2; exit 1; }
' _ "$here" "$exe" "$work" "$shot" "Brindlemarque $("$here/scripts/version.sh")" "$probe"
scripts/wine-run.sh reg delete 'HKCU\Software\Daoc\Brindlemarque\settings' /v language /f >/dev/null 2>&1 || true

if ! cmp -s "$work/Alarion-4.ini" tests/data/expected/Alarion-4.forward.ini; then
  echo "window: the build through GO differs from the command line's result" >&2
  diff <(tr -d '\r' < "$work/Alarion-4.ini") <(tr -d '\r' < tests/data/expected/Alarion-4.forward.ini) | head -20 >&2
  exit 1
fi
echo "window: a right click under Wine opened the window's menu, whose Undo, planner folder, Preview (headers whole) and language answered; the game question fitted the screen and answered No to Return, Escape and Alt+F4; GO wrote what the Linux command line writes"
