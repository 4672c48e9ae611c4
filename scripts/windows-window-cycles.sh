#!/usr/bin/env bash
# The Windows window program under Wine on a virtual display, worked with
# real keys and clicks, in German:
# - the character dialog: a character chosen with the keyboard, then
#   another double-clicked, then another clicked and taken with Return; each
#   time the clicked one is the character (the stored settings tell, as they
#   are kept when they change);
# - the build watch, with Wine's heap checks on, after a file dialog was
#   used once: five cycles of GO, "Show bars" and its window closed, Undo,
#   GO again, and the game's bars written back, each reported in the window.
# Needs what scripts/windows-test.sh builds.
#   scripts/windows-window-cycles.sh
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
here=$PWD
exe=$here/build-windows/bin/Brindlemarque.exe
probe=$here/build-windows/bin/window_probe.exe
[ -f "$exe" ] || { echo "cycles: $exe is missing; run scripts/windows-test.sh" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/brindlemarque-cycles-XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -r examples/vesko "$work/"
mkdir -p "$work/chars"
for name in Alarion-4.ini Brunhild-8.ini; do
  cp "examples/appdata/Electronic Arts/Dark Age of Camelot/LotM/$name" "$work/chars/"
done
. scripts/wine-window.sh
store_job "$work/vesko/templates/Alarion_Armsman.vsk" "$work/chars/Alarion-4.ini" 0

end_wine_desktop

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -euo pipefail
  here=$1 exe=$2 work=$3 caption=$4 probe=$5
  character=$work/chars/Alarion-4.ini
  cd "$work/vesko"
  LANG=de_DE.UTF-8 WINEDEBUG=warn+heap "$here/scripts/wine-run.sh" "$exe" >"$work/wine.log" 2>&1 &
  pid=$!
  fail() { echo "cycles: $*" >&2; tail -n 20 "$work/wine.log" >&2; kill $pid 2>/dev/null || true; exit 1; }
  run_probe() { "$here/scripts/wine-run.sh" "$probe" "$@" 2>/dev/null | tr -d "\r"; }
  . "$here/scripts/wine-window.sh"
  # Until the command $2... holds, every 0.2 s for $1 tries; false when it never did.
  wait_for() {
    local tries=$1
    shift
    for i in $(seq "$tries"); do
      "$@" && return 0
      sleep 0.2
    done
    return 1
  }
  stored_character() {
    "$here/scripts/wine-run.sh" reg query "HKCU\Software\Daoc\Brindlemarque\settings" /v out_file2 2>/dev/null \
      | tr -d "\r" | grep -q "$1"
  }
  id=$(window_titled "$caption" 450)
  [ -n "$id" ] || fail "no window titled $caption"
  sleep 2
  title="Charakter auswahl"
  open_characters() {
    xdotool windowfocus --sync "$id" key alt+shift+c
    dialog=$(window_titled "$title" 50)
    [ -n "$dialog" ] || fail "Alt+Shift+C opened no character dialog"
    sleep 1
  }
  # The list entry naming file $1: its number, or its middle on the screen.
  entry_number() { run_probe list "$title" | awk -F "\t" -v f="($1)" "index(\$5, f) { print \$1 }"; }
  entry_point() { run_probe list "$title" | awk -F "\t" -v f="($1)" "index(\$5, f) { print \$3, \$4 }"; }
  dialog_closed() { [ -z "$(xdotool search --name "^$title\$" 2>/dev/null)" ]; }

  # With the keyboard: from OK back to the list, to its top, down to Brunhild, Return.
  open_characters
  n=$(entry_number Brunhild-8.ini)
  [ -n "$n" ] || fail "the character dialog does not list Brunhild"
  keys=(shift+Tab Home)
  for i in $(seq "$n"); do keys+=(Down); done
  xdotool windowfocus --sync "$dialog" key --delay 150 "${keys[@]}" Return
  wait_for 25 dialog_closed || fail "Return left the character dialog open"
  wait_for 25 stored_character Brunhild-8.ini || fail "the keyboard did not choose Brunhild"
  # A double click on Alarion chooses Alarion and closes the dialog.
  open_characters
  point=$(entry_point Alarion-4.ini)
  [ -n "$point" ] || fail "the character dialog does not list Alarion"
  xdotool mousemove $point click --repeat 2 --delay 80 1
  wait_for 25 dialog_closed || fail "a double click on Alarion left the dialog open"
  wait_for 25 stored_character Alarion-4.ini || fail "a double click on Alarion did not choose Alarion"
  # A click on Brunhild and Return choose Brunhild; another on Alarion, Alarion.
  for name in Brunhild-8.ini Alarion-4.ini; do
    open_characters
    point=$(entry_point $name)
    xdotool mousemove $point click 1
    sleep 0.5
    xdotool key Return
    wait_for 25 dialog_closed || fail "Return after a click left the dialog open"
    wait_for 25 stored_character $name || fail "a click on $name and Return did not choose it"
  done

  # A file dialog, used once: the template'"'"'s (Alt+Shift+S), closed with Escape.
  xdotool windowfocus --sync "$id" key alt+shift+s
  sleep 3
  xdotool key Escape
  sleep 2
  menu() { window_menu "$id" "$@" || fail "a right click opened no menu"; }
  before=$(md5sum < "$character")
  cp "$character" "$work/before.ini"
  changed() { [ "$(md5sum < "$character")" != "$before" ]; }
  unchanged() { ! changed; }
  told() { run_probe texts "$caption" | grep -q "Das Spiel hat seine eigenen Bars"; }
  not_told() { ! told; }
  # GO clicked: the keyboard focus may be on another button by then.
  go() {
    local point
    point=$(run_probe control "$caption" GO)
    [ -n "$point" ] || fail "no GO button"
    xdotool windowfocus --sync "$id" mousemove $point click 1
  }
  for cycle in 1 2 3 4 5; do
    go
    wait_for 50 changed || fail "cycle $cycle: GO wrote nothing"
    wait_for 25 not_told || fail "cycle $cycle: the result line still tells of the last write-back"
    # The window lays itself out anew once the run has ended: the button is
    # looked for, and clicked again, until its window shows.
    bars=
    for try in 1 2 3 4 5; do
      sleep 1
      point=$(run_probe control "$caption" "Bars zeigen")
      [ -n "$point" ] && xdotool windowfocus --sync "$id" mousemove $point click 1
      bars=$(window_titled Bars 15)
      [ -n "$bars" ] && break
    done
    [ -n "$bars" ] || fail "cycle $cycle: \"Bars zeigen\" showed no window"
    sleep 1
    xdotool windowfocus --sync "$bars" key Escape
    sleep 1
    menu l
    question=$(window_titled Brindlemarque 50)
    [ -n "$question" ] || fail "cycle $cycle: Undo asked nothing"
    xdotool windowfocus --sync "$question" key alt+j
    wait_for 50 unchanged || fail "cycle $cycle: Undo did not put the file back"
    sleep 1
    go
    wait_for 50 changed || fail "cycle $cycle: the second GO wrote nothing"
    sleep 1
    cp "$work/before.ini" "$character"  # the game writes its own bars back at logout
    wait_for 50 told || fail "cycle $cycle: the game'"'"'s write-back was not reported"
    kill -0 $pid 2>/dev/null || fail "cycle $cycle: the window is gone"
  done
  xdotool windowfocus --sync "$id" key Escape
  for i in $(seq 100); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.2
  done
  ! kill -0 $pid 2>/dev/null || fail "Escape left the window open"
  ! grep -E "err:heap|page fault" "$work/wine.log" >&2 || fail "Wine reported a fault of the heap"
' _ "$here" "$exe" "$work" "Brindlemarque $("$here/scripts/version.sh")" "$probe"
echo "cycles: under Wine the character dialog chose the character clicked, double-clicked or taken with the keyboard, and the build watch ran five cycles after a file dialog with Wine's heap checks on, each write-back reported"
