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
# An install a failed check left behind would make the installer ask to
# remove it first (a silent install then stops): it goes, and this check's
# install goes whatever happens.
uninstall() {
  [ -f "$unix_target/Uninstall.exe" ] || return 0
  scripts/wine-run.sh "$unix_target/Uninstall.exe" /S >/dev/null 2>&1 || true
  for i in $(seq 100); do
    [ -f "$unix_target/brindlemarque-cli.exe" ] || break
    sleep 0.2
  done
}
uninstall
trap uninstall EXIT
rm -rf "$unix_target"
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
# A planner's folder given to the silent install.
planner='C:\Vesko-check'
unix_planner=$(scripts/wine-run.sh winepath -u "$planner" 2>/dev/null | tr -d '\r')
rm -rf "$unix_planner" && mkdir -p "$unix_planner/templates"
cp examples/vesko/config.xml examples/vesko/config_gem.xml "$unix_planner/"
scripts/wine-run.sh reg delete 'HKCU\Software\Daoc\Brindlemarque\settings' /v config_dir /f >/dev/null 2>&1 || true
scripts/wine-run.sh "$installer" /S "/PLANNER=$planner" "/D=$target" >/dev/null 2>&1
[ "$(menus)" = "$menus_before" ] || { echo "install: Wine added entries to the user's menus" >&2; exit 1; }
scripts/wine-run.sh reg query 'HKCU\Software\Daoc\Brindlemarque\settings' /v config_dir 2>/dev/null | tr -d '\r' \
  | grep -qiF "$planner" || { echo "install: the planner's folder was not kept as config_dir" >&2; exit 1; }
shortcut=$(find "$(dirname "$unix_target")/" -path '*Start Menu*' -name Brindlemarque.lnk 2>/dev/null | head -n 1 || true)
[ -n "$shortcut" ] || { echo "install: no Start-menu entry" >&2; exit 1; }
strings -el "$shortcut" | grep -qiF "$planner" \
  || { echo "install: the Start-menu entry does not start in the planner's folder" >&2; exit 1; }
for file in Brindlemarque.exe brindlemarque-cli.exe Uninstall.exe \
            locale/de/LC_MESSAGES/brindlemarque.mo locale/fr/LC_MESSAGES/brindlemarque.mo; do
  [ -f "$unix_target/$file" ] || { echo "install: $file is missing after the silent install" >&2; exit 1; }
done
help=$(scripts/wine-run.sh "$unix_target/brindlemarque-cli.exe" --help 2>&1 | tr -d '\r')
grep -q "gemtest" <<<"$help" || { echo "install: the installed command line did not answer --help" >&2; exit 1; }
# "Open with Brindlemarque" for templates, gone again after the uninstall.
open_with='HKLM\Software\Classes\Applications\Brindlemarque.exe\shell\open\command'
scripts/wine-run.sh reg query "$open_with" 2>/dev/null | tr -d '\r' | grep -qi 'Brindlemarque.exe" "%1"' \
  || { echo "install: no \"Open with\" entry for .vsk files" >&2; exit 1; }
# The uninstaller copies itself away and goes on in the background.
scripts/wine-run.sh "$unix_target/Uninstall.exe" /S >/dev/null 2>&1
for i in $(seq 100); do
  [ -f "$unix_target/brindlemarque-cli.exe" ] || break
  sleep 0.2
done
[ ! -f "$unix_target/brindlemarque-cli.exe" ] || { echo "install: the silent uninstall left the programs" >&2; exit 1; }
! scripts/wine-run.sh reg query "$open_with" >/dev/null 2>&1 \
  || { echo "install: the uninstall left the \"Open with\" entry" >&2; exit 1; }
! scripts/wine-run.sh reg query 'HKLM\Software\Brindlemarque' >/dev/null 2>&1 \
  || { echo "install: the uninstall left the key HKLM\\Software\\Brindlemarque" >&2; exit 1; }
rm -rf "$unix_planner"
echo "install: silent install with /PLANNER= (catalogs beside the program, the Start-menu entry and config_dir in the planner's folder), --help, \"Open with\" for .vsk and silent uninstall under Wine all worked"
