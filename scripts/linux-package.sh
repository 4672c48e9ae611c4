#!/usr/bin/env bash
# Builds the Debian package into build-package/, checks it (lintian without
# errors, the desktop entry, the AppStream metainfo), installs it with apt,
# starts both installed programs (the window under a virtual display, for a
# moment), and removes the package again.
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
scripts/install-packages.sh package librsvg2-bin lintian desktop-file-utils shared-mime-info appstream dpkg-dev man-db xvfb xauth xdotool

# Debian's hardening flags, as a package build would use them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
rm -rf build-package/_CPack_Packages build-package/*.deb
BUILD_TYPE=RelWithDebInfo scripts/setup.sh build-package -DCMAKE_INSTALL_PREFIX=/usr \
  -DBRINDLEMARQUE_TESTS=OFF -DBRINDLEMARQUE_BENCH=OFF -DBRINDLEMARQUE_LINUX_PACKAGE=ON
(cd build-package && cpack -G DEB >/dev/null) || { echo "package: cpack failed" >&2; exit 1; }
deb=$(ls "$PWD"/build-package/brindlemarque_*.deb)
echo "package: built $(basename "$deb")"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
dpkg-deb --contents "$deb" | awk '{ print "  " $6 }'

echo "=== lintian ==="
lintian --fail-on error --display-info "$deb" || { echo "package: lintian found errors" >&2; exit 1; }

# apt-get needs root: sudo for anyone else, as in scripts/install-packages.sh.
SUDO=
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || { echo "package: need root (or sudo) to install the package" >&2; exit 1; }
  SUDO=sudo
fi
tree=$(mktemp -d)
home=$(mktemp -d)
cleanup() {
  rm -rf "$tree" "$home"
  if dpkg -s brindlemarque >/dev/null 2>&1; then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y brindlemarque >/dev/null || true
  fi
}
trap cleanup EXIT
dpkg-deb -x "$deb" "$tree"
echo "=== desktop-file-validate, appstreamcli validate ==="
desktop-file-validate "$tree"/usr/share/applications/*.desktop
appstreamcli validate --no-net --explain "$tree"/usr/share/metainfo/*.metainfo.xml

echo "=== apt-get install ./$(basename "$deb") ==="
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "$deb" >/dev/null \
  || { echo "package: apt-get install failed" >&2; exit 1; }
for file in /usr/bin/Brindlemarque /usr/bin/brindlemarque-cli; do
  [ -x "$file" ] || { echo "package: $file is missing after the install" >&2; exit 1; }
done
/usr/bin/brindlemarque-cli --help | grep -q gemtest || { echo "package: brindlemarque-cli --help failed" >&2; exit 1; }
# The installed window finds its catalogs: its --help in French, without a display.
LANG=fr_FR.UTF-8 LANGUAGE=fr DISPLAY= /usr/bin/Brindlemarque --help | grep -q "afficher la version" \
  || { echo "package: the installed window did not find its French catalog" >&2; exit 1; }
man -w brindlemarque-cli >/dev/null || { echo "package: the man page is not found" >&2; exit 1; }
# Templates are a MIME type of their own, opened with the window (the
# system's triggers have indexed both).
grep -q '^application/x-vesko-template:\*\.vsk$' /usr/share/mime/globs \
  || { echo "package: *.vsk is no MIME type after the install" >&2; exit 1; }
grep -q '^application/x-vesko-template=.*org.brindlemarque.Brindlemarque.desktop' /usr/share/applications/mimeinfo.cache \
  || { echo "package: the desktop entry does not open templates" >&2; exit 1; }
# The window, started as the menu would (no arguments) from the sample
# planner's folder, must show its main window.
cp -r examples/vesko "$home/vesko"
caption="Brindlemarque $(scripts/version.sh)"
HOME=$home CAPTION=$caption xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  cd "$HOME/vesko"
  /usr/bin/Brindlemarque & pid=$!
  xdotool search --sync --onlyvisible --name "^$CAPTION\$" >/dev/null & search=$!
  for i in $(seq 100); do kill -0 $search 2>/dev/null || break; sleep 0.1; done
  kill $search 2>/dev/null && { echo "package: the installed window did not open" >&2; kill $pid; exit 1; }
  kill -0 $pid || { echo "package: the installed window ended early" >&2; exit 1; }
  kill $pid
' || exit 1
echo "=== apt-get remove brindlemarque ==="
DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y brindlemarque >/dev/null \
  || { echo "package: apt-get remove failed" >&2; exit 1; }
[ ! -e /usr/bin/Brindlemarque ] || { echo "package: the window stayed after the removal" >&2; exit 1; }
echo "package: built, checked, installed, started and removed"
