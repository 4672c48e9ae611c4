# Pieces shared by the scripts that work the Windows window program under
# Wine (scripts/windows-window.sh, scripts/windows-window-cycles.sh):
# sourced, outside the virtual display and inside it. $here is the
# repository's folder.

# The path as Wine's Z: drive shows it.
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }

# The window's stored settings (the registry), as the window keeps them:
# the template $1, the character file $2, Quickbar2 bars 2 to 7 with spacers,
# cleaning and drop-run, and "quit after create" when $3 is 16. The
# language is left to LANG, as a player's is until they choose one.
store_job() {
  local key='HKCU\Software\Daoc\Brindlemarque\settings' pair
  "$here/scripts/wine-run.sh" reg delete "$key" /v language /f >/dev/null 2>&1 || true
  "$here/scripts/wine-run.sh" reg add "$key" /f /v sc_file /t REG_SZ /d "$(windows_path "$1")" >/dev/null 2>&1
  "$here/scripts/wine-run.sh" reg add "$key" /f /v out_file2 /t REG_SZ /d "$(windows_path "$2")" >/dev/null 2>&1
  for pair in qbar=2 qbar_first=2 qbar_last=7 use_space=1 "quit=$3" reverse=0 cleanup=4 dragged=8; do
    "$here/scripts/wine-run.sh" reg add "$key" /f /v "${pair%=*}" /t REG_DWORD /d "${pair#*=}" >/dev/null 2>&1
  done
}

# The window titled exactly $1, once shown, looked for every 0.2 s, $2 times
# at most; nothing when none showed.
window_titled() {
  local i
  for i in $(seq "$2"); do
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep . && return 0
    sleep 0.2
  done
  return 0
}

# The menu of window $1 on a right click (on the window, beside the fields),
# then the keys $2...; false when no menu opened. A right click made while
# the window was still busy with a dialog that just closed is made again.
window_menu() {
  local id=$1 try
  shift
  eval "$(xdotool getwindowgeometry --shell "$id")"
  for try in 1 2 3 4 5; do
    xdotool windowfocus --sync "$id" mousemove --window "$id" 15 $((HEIGHT - 15)) click 3
    if "$here/scripts/wine-run.sh" "$here/build-windows/bin/window_probe.exe" menu; then
      xdotool key "$@"
      return 0
    fi
    sleep 1
  done
  return 1
}

# Wine's desktop process belongs to the display it was started on: the one
# that served the registry edits (no display) must go before a program
# starts on the virtual display.
end_wine_desktop() {
  WINEPREFIX=${BRINDLEMARQUE_WINEPREFIX:-$here/build-windows/wine} wineserver -k 2>/dev/null || true
  sleep 1
}
