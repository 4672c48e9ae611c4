#!/usr/bin/env bash
# Builds wxWidgets for Windows (MinGW-w64, static, only the parts the window
# uses) with its own expat and libpng, from Debian's source packages, into a
# cache folder named after the versions; a second run finds it there and
# builds nothing. Prints the folder (the prefix to give CMake) on its last line.
#   scripts/windows-deps.sh
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
scripts/install-packages.sh windows g++-mingw-w64-x86-64 libz-mingw-w64-dev cmake make dpkg-dev >&2

host=x86_64-w64-mingw32
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
cache_root=${BRINDLEMARQUE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/brindlemarque}
# The version of the source package: that of its binary packages here.
wx_version=$( (apt-cache policy libwxgtk3.2-dev 2>/dev/null || true) | sed -n 's/ *Candidate: //p' | head -n 1)
[ -n "$wx_version" ] || { echo "windows-deps: cannot tell the wxWidgets version" >&2; exit 1; }
# Every optional feature off, then on again only what the window and its
# dialogs use (the classes of the layouts, the dialogs it opens, the
# settings in the registry, the catalogs, drops, the folder watch); at -O1
# and without debug information, which costs a fraction of the default's
# compile time and changes nothing the tests can see.
features=(
  intl config regkey streams filesystem file ffile textbuf textfile datetime log longlong stdpaths timer
  stopwatch fswatcher dynlib dynamicloader cmdline fontmap threads exceptions ole variant dataobj dnd clipboard
  image xrc accel menus menubar tooltips validators mousewheel display sysoptions
  button checkbox choice combobox listbox listctrl imaglist stattext statbmp statbox statline textctrl
  scrollbar collpane treectrl wxdib uxtheme radiobtn
  msgdlg richmsgdlg filedlg dirdlg textdlg
)
# The cache is named after the versions and this configuration, so that a
# changed list builds anew instead of taking a build without the change.
config=$(printf '%s ' "${features[@]}" -O1 | md5sum | cut -c1-8)
prefix=$cache_root/mingw-wx-${wx_version//[:~+]/_}-$config
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

work=$cache_root/work
rm -rf "$work" "$prefix" && mkdir -p "$work" "$prefix"
jobs=$(nproc)
export CC=$host-gcc-posix CXX=$host-g++-posix

echo "windows-deps: expat" >&2
scripts/debian-source.sh expat "$work/expat"
# Debian's security fixes test "#if XML_DTD == 1", which the CMake template
# defines empty: give it its value.
sed -i 's/^#cmakedefine XML_DTD$/#cmakedefine01 XML_DTD/' "$work/expat/expat/expat_config.h.cmake"
cmake -S "$work/expat/expat" -B "$work/expat-build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF \
  -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF >/dev/null
cmake --build "$work/expat-build" -j "$jobs" --target install >/dev/null

echo "windows-deps: libpng" >&2
scripts/debian-source.sh libpng1.6 "$work/libpng"
(cd "$work/libpng" && ./configure --host=$host --prefix="$prefix" --disable-shared --enable-static \
   CPPFLAGS="-I/usr/$host/include" LDFLAGS="-L/usr/$host/lib" >/dev/null && make -j "$jobs" >/dev/null && make install >/dev/null)

echo "windows-deps: wxWidgets $wx_version (the longest part)" >&2
scripts/debian-source.sh wxwidgets3.2 "$work/wx"
mkdir -p "$work/wx-build"
enables=()
for f in "${features[@]}"; do enables+=("--enable-$f"); done
(cd "$work/wx-build" && "$work/wx/configure" --host=$host --prefix="$prefix" --disable-shared --with-msw \
   --disable-all-features "${enables[@]}" --disable-tests --without-opengl \
   --with-expat=sys --with-libpng=sys --with-zlib=sys --without-libjpeg --without-libtiff --with-regex=no \
   --without-liblzma CFLAGS=-O1 CXXFLAGS=-O1 CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" >/dev/null \
 && make -j "$jobs" >/dev/null && make install >/dev/null)

rm -rf "$work"
touch "$prefix/.complete"
echo "$prefix"
