#!/usr/bin/env bash
# Takes screenshots under a virtual display, into docs/: the main window's
# German and English copies (main-window-de.png, main-window-en.png) and the
# character select dialog on the sample characters (character-dialog.png),
# opened by a click on the "..." beside the character field, and the preview
# list of a sample build (preview-dialog.png), chosen from the window's menu.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p docs
# A fixed folder, so that the path shown in the character dialog stays the same.
work=${TMPDIR:-/tmp}/brindlemarque-screenshots
rm -rf "$work" && mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
cp -r examples/vesko examples/appdata "$work/"

# shot LANG OUTPUT [character|preview]: starts the window, waits for it, and
# takes the main window, or with "character" the dialog its "..." button
# opens, or with "preview" the list its menu's "Preview" shows.
shot() {
  xvfb-run -a -s "-screen 0 800x600x24" bash -c '
    set -e
    cd "$1/vesko"
    HOME="$1" APPDATA="$1/appdata" LANG="$2" LANGUAGE= LC_ALL= "$4" 2>/dev/null &
    pid=$!
    wait_for() {
      for i in $(seq 50); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && { sleep 1; echo "$id"; return; }
        sleep 0.2
      done
      echo "no window \"$1\"" >&2; kill $pid; exit 1
    }
    id=$(wait_for "Brindlemarque 1.88")
    if [ "$5" = character ]; then
      # The "..." button stands at 204,26 (17 x 14) of the 228 x 129 dialog units.
      eval "$(xdotool getwindowgeometry --shell "$id")"
      xdotool mousemove --window "$id" $((WIDTH * 425 / 456)) $((HEIGHT * 33 / 129)) click 1
      id=$(wait_for "Charakter auswahl")
    elif [ "$5" = preview ]; then
      xdotool mousemove --window "$id" 200 120 click 3
      sleep 1
      xdotool key Down Down Down Return  # the third entry
      id=$(wait_for "Vorschau")
    fi
    import -window "$id" "$3"
    kill $pid' _ "$work" "$1" "$2" "$PWD/build/bin/Brindlemarque" "${3:-}"
}

shot de_DE.UTF-8 "$PWD/docs/main-window-de.png"
shot en_US.UTF-8 "$PWD/docs/main-window-en.png"
shot de_DE.UTF-8 "$PWD/docs/character-dialog.png" character
# The preview needs a job: the sample template and character as stored settings.
mkdir -p "$work/.config/Daoc"
printf '[settings]\nsc_file=%s\nout_file2=%s\n' "$work/vesko/templates/Alarion_Armsman.vsk" \
  "$work/appdata/Electronic Arts/Dark Age of Camelot/LotM/Alarion-4.ini" > "$work/.config/Daoc/Brindlemarque.conf"
shot de_DE.UTF-8 "$PWD/docs/preview-dialog.png" preview
echo "screenshots in docs/"
