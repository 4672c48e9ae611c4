#!/usr/bin/env bash
# Takes screenshots under a virtual display, into docs/: the main window in
# German, English and French (main-window-de.png, -en.png, -fr.png), in
# German and French at 200 % (main-window-de-200.png, -fr-200.png,
# GDK_SCALE=2) and in German with a 16 pt font (main-window-de-16pt.png), the character select
# dialog on the sample characters (character-dialog.png), opened from the
# keyboard through the "..." beside the character field, the same dialog
# with the game folders it found in a player's home open in its folder field
# (character-dialog-found.png), and the preview of a sample build, its bars
# and its list, chosen from the window's menu, in German (preview-dialog.png),
# English (preview-dialog-en.png) and German at 200 % (preview-dialog-de-200.png).
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
mkdir -p docs
work=$(mktemp -d "${TMPDIR:-/tmp}/brindlemarque-screenshots.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -r examples/vesko examples/appdata "$work/"

# shot LANG OUTPUT [character|found|preview]: starts the window, waits for
# it, and takes the main window, or with "character" the dialog its "..."
# button opens, with "found" that dialog with its folder list open, or with
# "preview" the list its menu's "Preview" shows (dialogs in German).
# APPDATA is the samples' unless set empty; GDK_SCALE passes on.
shot() {
  xvfb-run -a -s "-screen 0 ${SCREEN:-1600x1200}x24" bash -c '
    set -e
    cd "$1/vesko"
    HOME="$1" APPDATA="${APPDATA-$1/appdata}" LANG="$2" LANGUAGE= LC_ALL= "$4" 2>/dev/null &
    pid=$!
    wait_for() {
      for i in $(seq 50); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && { sleep 1; echo "$id"; return; }
        sleep 0.2
      done
      echo "no window \"$1\"" >&2; kill $pid; exit 1
    }
    id=$(wait_for "Brindlemarque $6")
    if [ "$5" = character ] || [ "$5" = found ]; then
      # GO has the focus; Close, the SC-File field, its "...", the character
      # field, and the fifth tab reaches the "..." beside it.
      xdotool key --window "$id" --delay 100 Tab Tab Tab Tab Tab space
      id=$(wait_for "Charakter auswahl")
      if [ "$5" = found ]; then
        # A click on the arrow of the folder field, left of the "..." at the top right.
        eval "$(xdotool getwindowgeometry --shell "$id")"
        xdotool mousemove --window "$id" $((WIDTH - 59)) 30 click 1
        sleep 1
        # The list opens over the dialog in a window of its own: the screen, cut to the dialog.
        import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" "$3"
        kill $pid
        exit
      fi
    elif [ "$5" = preview ]; then
      xdotool mousemove --window "$id" 200 120 click 3
      sleep 1
      xdotool key Down Down Down Return  # the third entry
      id=$(wait_for "${PREVIEW_TITLE:-Vorschau}")
    fi
    import -window "$id" "$3"
    kill $pid' _ "$work" "$1" "$2" "$PWD/build/bin/Brindlemarque" "${3:-}" "$(scripts/version.sh)"
}

shot de_DE.UTF-8 "$PWD/docs/main-window-de.png"
shot en_US.UTF-8 "$PWD/docs/main-window-en.png"
shot fr_FR.UTF-8 "$PWD/docs/main-window-fr.png"
GDK_SCALE=2 shot de_DE.UTF-8 "$PWD/docs/main-window-de-200.png"
GDK_SCALE=2 shot fr_FR.UTF-8 "$PWD/docs/main-window-fr-200.png"
# With a 16 pt font (GTK's own setting, in a configuration folder of its own).
mkdir -p "$work/big-font/gtk-3.0"
printf '[Settings]\ngtk-font-name = DejaVu Sans 16\n' > "$work/big-font/gtk-3.0/settings.ini"
XDG_CONFIG_HOME="$work/big-font" shot de_DE.UTF-8 "$PWD/docs/main-window-de-16pt.png"
shot de_DE.UTF-8 "$PWD/docs/character-dialog.png" character
# A player's home with the game in four launchers' prefixes.
roaming='AppData/Roaming/Electronic Arts/Dark Age of Camelot'
for game in ".wine/drive_c/users/anna/$roaming/LotM" \
            ".local/share/Steam/steamapps/compatdata/3141592653/pfx/drive_c/users/steamuser/$roaming/LotM" \
            "Games/dark-age-of-camelot/drive_c/users/anna/$roaming/LotM" \
            "Games/dark-age-of-camelot/drive_c/users/anna/$roaming/TOA" \
            ".local/share/bottles/bottles/Camelot/drive_c/users/anna/$roaming/LotM"; do
  mkdir -p "$work/$game"
  cp "$work/appdata/Electronic Arts/Dark Age of Camelot/LotM/"*.ini "$work/$game/"
done
APPDATA= shot de_DE.UTF-8 "$PWD/docs/character-dialog-found.png" found
# The preview needs a job: the sample template and character as stored settings.
mkdir -p "$work/.config/Daoc"
printf '[settings]\nsc_file=%s\nout_file2=%s\n' "$work/vesko/templates/Alarion_Armsman.vsk" \
  "$work/appdata/Electronic Arts/Dark Age of Camelot/LotM/Alarion-4.ini" > "$work/.config/Daoc/Brindlemarque.conf"
shot de_DE.UTF-8 "$PWD/docs/preview-dialog.png" preview
PREVIEW_TITLE=Preview shot en_US.UTF-8 "$PWD/docs/preview-dialog-en.png" preview
GDK_SCALE=2 SCREEN=3200x2400 shot de_DE.UTF-8 "$PWD/docs/preview-dialog-de-200.png" preview
echo "screenshots in docs/"
