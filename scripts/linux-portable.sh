#!/usr/bin/env bash
# Builds the portable Linux archive build-portable/brindlemarque-<version>-linux-x86_64.tar.gz
# for players without apt (a Steam Deck, Arch, Fedora, an older Ubuntu): both
# programs with wxWidgets (scripts/linux-deps.sh), TinyXML and the C++ runtime
# linked in, so that they need of the system only what every desktop with
# GTK 3 has; their catalogs (and the toolkit's), the desktop entry, icons,
# file type and man pages; a launcher per program that refuses a C library
# older than the one the programs were built against; install.sh. Then
# checks it (scripts/linux-portable-check.sh) unless --no-check.
#   scripts/linux-portable.sh [--no-check]
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
scripts/install-packages.sh portable librsvg2-bin wx3.2-i18n gettext cmake make dpkg-dev binutils
wx=$(scripts/linux-deps.sh | tail -n 1)
out=$PWD/build-portable
scripts/debian-source.sh tinyxml "$out/tinyxml"
cmake -S . -B "$out/build" -DCMAKE_BUILD_TYPE=Release -DBRINDLEMARQUE_GUI=ON -DBRINDLEMARQUE_TESTS=OFF \
  -DBRINDLEMARQUE_BENCH=OFF -DBRINDLEMARQUE_LINUX_PACKAGE=ON -DCMAKE_INSTALL_PREFIX=/usr/local \
  -DwxWidgets_CONFIG_EXECUTABLE="$wx/bin/wx-config" -DTINYXML_SOURCE_DIR="$out/tinyxml" \
  -DCMAKE_EXE_LINKER_FLAGS="-static-libstdc++ -static-libgcc" >/dev/null \
  || { echo "portable: configure failed" >&2; exit 1; }
cmake --build "$out/build" -j "$(nproc)" >/dev/null || { echo "portable: build failed" >&2; exit 1; }

version=$(scripts/version.sh)
name=brindlemarque-$version-linux-x86_64
tree=$out/$name
rm -rf "$tree" "$out/$name.tar.gz"
cmake --install "$out/build" --prefix "$tree" --strip >/dev/null
rm -rf "$tree/share/doc"  # the Debian package's changelog and copyright; the archive has its README
# The toolkit's own texts (stock labels) in the programs' languages.
for lang in $(ls "$tree/share/locale"); do
  [ -f "/usr/share/locale/$lang/LC_MESSAGES/wxstd-3.2.mo" ] \
    && cp "/usr/share/locale/$lang/LC_MESSAGES/wxstd-3.2.mo" "$tree/share/locale/$lang/LC_MESSAGES/"
done
# The newest C library version any program asks for is the floor.
glibc=$(objdump -T "$tree"/bin/* | grep -o 'GLIBC_[0-9.]*' | sed 's/GLIBC_//' | sort -uV | tail -n 1)
for program in Brindlemarque brindlemarque-cli; do
  sed -e "s/@PROGRAM@/$program/g" -e "s/@GLIBC@/$glibc/g" -e "s/@GLIBC_MAJOR@/${glibc%%.*}/g" \
    -e "s/@GLIBC_MINOR@/${glibc#*.}/g" resources/linux/portable/launcher.in > "$tree/$program"
  chmod 755 "$tree/$program"
done
install -m 755 resources/linux/portable/install.sh "$tree/install.sh"
mkdir -p "$tree/examples"
cp -R examples/vesko "$tree/examples/"
cp "examples/appdata/Electronic Arts/Dark Age of Camelot/LotM/Alarion-4.ini" "$tree/examples/"
cat > "$tree/README.txt" <<TEXT
Brindlemarque $version for Linux (x86-64), portable: needs GTK 3 and the GNU C
library $glibc or newer, nothing else (no root, no package manager).

  ./Brindlemarque            the window, from this folder
  ./brindlemarque-cli --help the command line
  ./install.sh               installs it for you under ~/.local (menu entry
                             under Games, the .vsk file type, man pages)
  ./install.sh --uninstall   removes that again; settings and backups stay

examples/ holds a planner folder and a character file to try it on:
  ./brindlemarque-cli build --config-dir examples/vesko \\
      --template examples/vesko/templates/Alarion_Armsman.vsk --character examples/Alarion-4.ini
TEXT
(cd "$out" && tar --owner=0 --group=0 --numeric-owner -czf "$name.tar.gz" "$name")
echo "portable: built $name.tar.gz ($(du -k "$out/$name.tar.gz" | cut -f1) KiB), C library $glibc or newer"
[ "${1:-}" = --no-check ] || scripts/linux-portable-check.sh "$out/$name.tar.gz"
