#!/usr/bin/env bash
# Installs the Windows installer silently under Wine, runs the installed
# command line, and uninstalls it silently again.
#   scripts/windows-install-check.sh INSTALLER.exe
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
installer=$1
target='C:\Brindlemarque-check'
unix_target=$(scripts/wine-run.sh winepath -u "$target" 2>/dev/null | tr -d '\r')
# The folder a reinstall moves the program to.
moved='C:\Brindlemarque-moved'
unix_moved=$(scripts/wine-run.sh winepath -u "$moved" 2>/dev/null | tr -d '\r')
# An install a failed check left behind would make the installer ask to
# remove it first (a silent install then stops): it goes, and this check's
# install goes whatever happens.
# The uninstaller copies itself away and goes on in the background: this
# waits until the programs of folder $1 are gone.
uninstall_from() {
  scripts/wine-run.sh "$1/Uninstall.exe" /S >/dev/null 2>&1 || true
  for i in $(seq 100); do
    [ -f "$1/brindlemarque-cli.exe" ] || break
    sleep 0.2
  done
}
uninstall() {
  local folder
  for folder in "$unix_target" "$unix_moved"; do
    [ -f "$folder/Uninstall.exe" ] && uninstall_from "$folder"
  done
  return 0
}
uninstall
trap uninstall EXIT
rm -rf "$unix_target" "$unix_moved"
# What the user's menus hold before: the install must add nothing there.
# A bare home has none of these folders: only those that exist are looked in.
menus() {
  local folder
  for folder in "${XDG_DATA_HOME:-$HOME/.local/share}/applications" "${XDG_CONFIG_HOME:-$HOME/.config}/menus" \
                "${XDG_DATA_HOME:-$HOME/.local/share}/desktop-directories"; do
    [ -d "$folder" ] && find "$folder" -newer "$installer" 2>/dev/null || true
  done | sort
}
menus_before=$(menus)
# A planner's folder given to the silent install, with a space in its name:
# Wine passes the argument on quoted whole ("/PLANNER=C:\Vesko check"), as
# Windows does for a quoted argument.
planner='C:\Vesko check'
unix_planner=$(scripts/wine-run.sh winepath -u "$planner" 2>/dev/null | tr -d '\r')
rm -rf "$unix_planner" && mkdir -p "$unix_planner/templates"
for hive in HKCU HKLM; do
  scripts/wine-run.sh reg delete "$hive\\Software\\Daoc\\Brindlemarque\\settings" /v config_dir /f >/dev/null 2>&1 || true
done
# Without the planner's files there, the silent install stops (exit code 2)
# and says why in its log.
log=$(scripts/wine-run.sh winepath -u 'C:\users' 2>/dev/null | tr -d '\r')
find "$log" -name Brindlemarque-install.log -delete 2>/dev/null || true
status=0
scripts/wine-run.sh "$installer" /S "/PLANNER=$planner" "/D=$target" >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || { echo "install: a silent install into a folder without the planner's files gave $status, not 2" >&2; exit 1; }
[ ! -e "$unix_target" ] || { echo "install: the refused silent install made its folder all the same" >&2; exit 1; }
find "$log" -name Brindlemarque-install.log -exec grep -h "holds no config.xml" {} + 2>/dev/null | grep -qF "$planner" \
  || { echo "install: the refused silent install left no line in Brindlemarque-install.log" >&2; exit 1; }
cp examples/vesko/config.xml examples/vesko/config_gem.xml "$unix_planner/"
scripts/wine-run.sh "$installer" /S "/PLANNER=$planner" "/D=$target" >/dev/null 2>&1
[ "$(menus)" = "$menus_before" ] || { echo "install: Wine added entries to the user's menus" >&2; exit 1; }
for hive in HKCU HKLM; do  # the installing user's, and the machine's for other users
  scripts/wine-run.sh reg query "$hive\\Software\\Daoc\\Brindlemarque\\settings" /v config_dir 2>/dev/null | tr -d '\r' \
    | grep -qiF "$planner" || { echo "install: the planner's folder was not kept as $hive config_dir" >&2; exit 1; }
done
shortcut=$(find "$(dirname "$unix_target")/" -path '*Start Menu*' -name Brindlemarque.lnk 2>/dev/null | head -n 1 || true)
[ -n "$shortcut" ] || { echo "install: no Start-menu entry" >&2; exit 1; }
strings -el "$shortcut" | grep -qiF "$planner" \
  || { echo "install: the Start-menu entry does not start in the planner's folder" >&2; exit 1; }
for file in Brindlemarque.exe brindlemarque-cli.exe Uninstall.exe \
            locale/de/LC_MESSAGES/brindlemarque.mo locale/fr/LC_MESSAGES/brindlemarque.mo; do
  [ -f "$unix_target/$file" ] || { echo "install: $file is missing after the silent install" >&2; exit 1; }
done
# A silent upgrade given a folder without the planner's files is refused
# before anything changes: the installed program, its Start-menu entry, its
# keys and the folders kept stay exactly as they were.
installed() {
  (cd "$unix_target" && find . -type f -exec md5sum {} + | sort)
  md5sum "$shortcut"
  for key in 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brindlemarque' \
             'HKLM\Software\Daoc\Brindlemarque\settings' 'HKCU\Software\Daoc\Brindlemarque\settings'; do
    scripts/wine-run.sh reg query "$key" 2>&1 | tr -d '\r'
  done
}
before=$(installed)
empty='C:\Empty check'
unix_empty=$(scripts/wine-run.sh winepath -u "$empty" 2>/dev/null | tr -d '\r')
rm -rf "$unix_empty" && mkdir -p "$unix_empty"
status=0
scripts/wine-run.sh "$installer" /S "/PLANNER=$empty" "/D=$target" >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || { echo "install: a silent upgrade into a folder without the planner's files gave $status, not 2" >&2; exit 1; }
[ "$(installed)" = "$before" ] || { echo "install: the refused silent upgrade changed the installed program:" >&2
                                    diff <(echo "$before") <(installed) >&2; exit 1; }
rm -rf "$unix_empty"
# A reinstall into another folder leaves nothing in the old one.
scripts/wine-run.sh "$installer" /S "/PLANNER=$planner" "/D=$moved" >/dev/null 2>&1
[ -f "$unix_moved/Brindlemarque.exe" ] || { echo "install: the reinstall into $moved installed nothing there" >&2; exit 1; }
[ ! -e "$unix_target" ] || { echo "install: the reinstall into another folder left the old one:" $(ls -A "$unix_target") >&2; exit 1; }
unix_target=$unix_moved
help=$(scripts/wine-run.sh "$unix_target/brindlemarque-cli.exe" --help 2>&1 | tr -d '\r')
grep -q "gemtest" <<<"$help" || { echo "install: the installed command line did not answer --help" >&2; exit 1; }
# "Open with Brindlemarque" for templates, gone again after the uninstall.
open_with='HKLM\Software\Classes\Applications\Brindlemarque.exe\shell\open\command'
scripts/wine-run.sh reg query "$open_with" 2>/dev/null | tr -d '\r' | grep -qi 'Brindlemarque.exe" "%1"' \
  || { echo "install: no \"Open with\" entry for .vsk files" >&2; exit 1; }
uninstall_from "$unix_target"
[ ! -f "$unix_target/brindlemarque-cli.exe" ] || { echo "install: the silent uninstall left the programs" >&2; exit 1; }
! scripts/wine-run.sh reg query "$open_with" >/dev/null 2>&1 \
  || { echo "install: the uninstall left the \"Open with\" entry" >&2; exit 1; }
! scripts/wine-run.sh reg query 'HKLM\Software\Brindlemarque' >/dev/null 2>&1 \
  || { echo "install: the uninstall left the key HKLM\\Software\\Brindlemarque" >&2; exit 1; }
# An install by hand (real keys on a virtual display) into a folder that
# holds config.xml alone, answered Yes to "Use it all the same?": the
# warning names the file missing, and the folder kept before, which holds
# both, stays kept and is where the Start-menu entry starts.
half='C:\Vesko half'
unix_half=$(scripts/wine-run.sh winepath -u "$half" 2>/dev/null | tr -d '\r')
rm -rf "$unix_half" && mkdir -p "$unix_half" && cp examples/vesko/config.xml "$unix_half/"
probe=$(dirname "$installer")/bin/window_probe.exe
WINEPREFIX=${BRINDLEMARQUE_WINEPREFIX:-$PWD/build-windows/wine} wineserver -k 2>/dev/null || true
sleep 1
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -euo pipefail
  installer=$1 half=$2 target=$3 unix_target=$4 probe=$5
  LANG=en_US.UTF-8 scripts/wine-run.sh "$installer" "/PLANNER=$half" "/D=$target" >/dev/null 2>&1 &
  pid=$!
  fail() { echo "install: $*" >&2; kill $pid 2>/dev/null || true; exit 1; }
  setup() { xdotool search --onlyvisible --name "^Brindlemarque Setup\$" 2>/dev/null || true; }
  for i in $(seq 300); do [ -n "$(setup)" ] && break; sleep 0.2; done
  [ -n "$(setup)" ] || fail "the installer did not open"
  sleep 2
  xdotool windowfocus --sync "$(setup | head -n 1)" key Return  # the welcome page
  sleep 2
  xdotool key Return  # the planner page, proposing the folder given
  for i in $(seq 50); do [ "$(setup | wc -l)" -ge 2 ] && break; sleep 0.2; done
  warning=$(scripts/wine-run.sh "$probe" texts "Brindlemarque Setup" 2>/dev/null | tr -d "\r")
  grep -q "holds no config_gem.xml\." <<<"$warning" || fail "the warning does not name config_gem.xml: $warning"
  xdotool key y  # "Use it all the same?"
  sleep 2
  xdotool key Return  # the install folder page
  sleep 2
  xdotool key Return  # the Start-menu page: install
  for i in $(seq 150); do [ -f "$unix_target/Brindlemarque.exe" ] && break; sleep 0.2; done
  sleep 3
  xdotool key Return  # the last page
  for i in $(seq 100); do kill -0 $pid 2>/dev/null || exit 0; sleep 0.2; done
  fail "the installer did not end"
' _ "$installer" "$half" "$moved" "$unix_target" "$probe"
scripts/wine-run.sh reg query 'HKCU\Software\Daoc\Brindlemarque\settings' /v config_dir 2>/dev/null | tr -d '\r' \
  | grep -qiF "$planner" || { echo "install: an install into a half planner folder replaced the good one kept" >&2; exit 1; }
shortcut=$(find "$(dirname "$unix_target")/" -path '*Start Menu*' -name Brindlemarque.lnk 2>/dev/null | head -n 1 || true)
strings -el "$shortcut" | grep -qiF "$planner" \
  || { echo "install: after an install into a half planner folder the Start-menu entry does not start in the good one" >&2; exit 1; }
uninstall_from "$unix_target"
rm -rf "$unix_planner" "$unix_half"
echo "install: silent install with a quoted /PLANNER= holding a space (refused with exit code 2, a log line and no folder made while the folder lacks the planner's files; then catalogs beside the program, the Start-menu entry, and config_dir for the user and the machine in the planner's folder), a refused silent upgrade that changed nothing, a reinstall into another folder that left nothing in the old one, --help, \"Open with\" for .vsk and silent uninstall under Wine all worked; an install by hand into a folder with config.xml alone named config_gem.xml as missing and kept the good folder and the Start-menu entry's start in it"
