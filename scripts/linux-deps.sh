#!/usr/bin/env bash
# Builds wxWidgets for the portable Linux archive (GTK 3, static, only the
# parts the window uses, so that the programs need nothing of the toolkit
# on the player's system; expat, libpng and zlib are the system's, which
# every desktop with GTK 3 has through fontconfig and gdk-pixbuf) from
# Debian's source package, into a cache folder
# named after the version and this configuration; a second run finds it
# there and builds nothing. Prints the folder (the prefix whose bin/wx-config
# CMake is given) on its last line.
#   scripts/linux-deps.sh
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
scripts/install-packages.sh portable libgtk-3-dev cmake make dpkg-dev >&2

cache_root=${BRINDLEMARQUE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/brindlemarque}
wx_version=$( (apt-cache policy libwxgtk3.2-dev 2>/dev/null || true) | sed -n 's/ *Candidate: //p' | head -n 1)
[ -n "$wx_version" ] || { echo "linux-deps: cannot tell the wxWidgets version" >&2; exit 1; }
# The Windows build's list (scripts/windows-deps.sh) without what only
# Windows has, with what GTK's port needs to build the window's classes.
features=(
  intl config streams filesystem file ffile textbuf textfile datetime log longlong stdpaths timer
  stopwatch fswatcher dynlib dynamicloader cmdline fontmap threads exceptions variant dataobj dnd clipboard
  image xrc accel menus menubar tooltips validators mousewheel display sysoptions
  button checkbox choice combobox listbox listctrl imaglist stattext statbmp statbox statline textctrl
  scrollbar collpane treectrl radiobtn
  msgdlg richmsgdlg filedlg dirdlg textdlg
  graphics_ctx geometry filectrl baseevtloop epollloop selectloop
)
config=$(printf '%s ' "${features[@]}" -O2 | md5sum | cut -c1-8)
prefix=$cache_root/gtk3-wx-${wx_version//[:~+]/_}-$config
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

work=$cache_root/work-linux
rm -rf "$work" "$prefix" && mkdir -p "$work" "$prefix"
echo "linux-deps: wxWidgets $wx_version for GTK 3 (several minutes)" >&2
scripts/debian-source.sh wxwidgets3.2 "$work/wx"
mkdir -p "$work/wx-build"
enables=()
for f in "${features[@]}"; do enables+=("--enable-$f"); done
(cd "$work/wx-build" && "$work/wx/configure" --prefix="$prefix" --disable-shared --with-gtk=3 \
   --disable-all-features "${enables[@]}" --disable-tests --without-opengl --without-libnotify \
   --with-expat=sys --with-libpng=sys --with-zlib=sys --with-regex=no \
   --without-libjpeg --without-libtiff --without-liblzma --without-libmspack --without-sdl \
   --disable-mediactrl --disable-webview --disable-sound --disable-xlocale \
   CFLAGS="-O2 -fPIC" CXXFLAGS="-O2 -fPIC" >/dev/null \
 && make -j "$(nproc)" >/dev/null && make install >/dev/null)

rm -rf "$work"
touch "$prefix/.complete"
echo "$prefix"
