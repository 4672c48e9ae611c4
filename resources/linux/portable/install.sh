#!/bin/sh
# Installs Brindlemarque for you alone, without root:
#   ./install.sh              the programs under ~/.local/lib/brindlemarque,
#                             ~/.local/bin/Brindlemarque and brindlemarque-cli,
#                             the menu entry (under Games), the icon, the
#                             template (.vsk) file type and the man pages
#   ./install.sh --uninstall  removes exactly what the install put there;
#                             your settings and backups stay
# Nothing is written into the folder this script is in.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
data=${XDG_DATA_HOME:-$HOME/.local/share}
dest=$HOME/.local/lib/brindlemarque
bin=$HOME/.local/bin
id=org.brindlemarque.Brindlemarque
list=$dest/installed-files  # every file the install made outside $dest

# The desktop's indexes of file types, menu entries and icons, brought up
# to date (where the tools exist). A file-type database that no longer
# defines any type (ours was the last) is only derived data, and goes.
refresh() {
  if [ -d "$data/mime/packages" ] && [ -z "$(ls -A "$data/mime/packages")" ]; then
    rm -rf "$data/mime"
  elif command -v update-mime-database >/dev/null 2>&1; then
    update-mime-database "$data/mime" >/dev/null 2>&1 || true
  fi
  command -v update-desktop-database >/dev/null 2>&1 && update-desktop-database "$data/applications" >/dev/null 2>&1 || true
  command -v gtk-update-icon-cache >/dev/null 2>&1 && gtk-update-icon-cache -q "$data/icons/hicolor" >/dev/null 2>&1 || true
}

uninstall() {
  if [ -f "$list" ]; then
    while IFS= read -r file; do
      rm -f "$file"
    done < "$list"
  fi
  rm -rf "$dest"
  refresh
}

case "${1:-}" in
  --uninstall)
    [ -d "$dest" ] || { echo "Brindlemarque is not installed under $dest." >&2; exit 1; }
    uninstall
    echo "Brindlemarque removed. Your settings and backups are kept."
    exit 0 ;;
  "") ;;
  *) echo "usage: ./install.sh [--uninstall]" >&2; exit 2 ;;
esac

[ -x "$here/bin/Brindlemarque" ] || { echo "install.sh: run it in the unpacked folder (bin/ is missing)" >&2; exit 1; }
# An earlier install goes first, so that nothing of it stays behind.
[ -d "$dest" ] && uninstall
mkdir -p "$dest" "$bin"
cp -R "$here/bin" "$here/Brindlemarque" "$here/brindlemarque-cli" "$dest/"
mkdir -p "$dest/share" && cp -R "$here/share/locale" "$dest/share/"
: > "$list"
put() {  # put SOURCE TARGET: copies and records
  mkdir -p "$(dirname "$2")"
  cp "$1" "$2"
  echo "$2" >> "$list"
}
for program in Brindlemarque brindlemarque-cli; do
  ln -sf "$dest/$program" "$bin/$program"
  echo "$bin/$program" >> "$list"
done
# The menu entry starts the installed program by its full path: ~/.local/bin
# is not on every desktop's search path.
mkdir -p "$data/applications"
sed "s|^Exec=Brindlemarque|Exec=\"$dest/Brindlemarque\"|" "$here/share/applications/$id.desktop" > "$data/applications/$id.desktop"
echo "$data/applications/$id.desktop" >> "$list"
put "$here/share/mime/packages/$id.xml" "$data/mime/packages/$id.xml"
for icon in "$here"/share/icons/hicolor/*/apps/*; do
  put "$icon" "$data/icons/hicolor/${icon#"$here/share/icons/hicolor/"}"
done
for page in "$here"/share/man/man1/*; do
  put "$page" "$data/man/man1/$(basename "$page")"
done
refresh
echo "Brindlemarque installed: in the menu under Games, or run $bin/Brindlemarque."
case ":$PATH:" in *":$bin:"*) ;; *) echo "($bin is not on your PATH; the menu entry works without it.)" ;; esac
