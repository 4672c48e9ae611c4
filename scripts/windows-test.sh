#!/usr/bin/env bash
# Cross-builds the programs and the window-free test suites for Windows with
# MinGW-w64 into build-windows/, runs the tests under Wine, runs one build
# through the window's GO under Wine, works the character dialog and the
# build watch with real input (scripts/windows-window-cycles.sh), and makes
# the installer and installs and uninstalls it, silently and by hand.
# TinyXML comes from Debian's source package, GoogleTest from the sources
# Debian installs with it, wxWidgets from scripts/windows-deps.sh (cached);
# CLI11 is header-only.
#   scripts/windows-test.sh [--screenshot]   (the screenshot goes to docs/)
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
here=$PWD
out=$here/build-windows

scripts/install-packages.sh windows g++-mingw-w64-x86-64 wine wine64 cmake make dpkg-dev googletest libcli11-dev \
  wx-common gettext nsis xvfb xauth xdotool imagemagick
wx=$(scripts/windows-deps.sh | tail -n 1)

scripts/debian-source.sh tinyxml "$out/tinyxml"
# CLI11's headers alone: the host's include folder must not reach the cross compiler.
mkdir -p "$out/cli11" && rm -rf "$out/cli11/CLI" && cp -r /usr/include/CLI "$out/cli11/CLI"

cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DBRINDLEMARQUE_GUI=ON -DBRINDLEMARQUE_GUI_TESTS=OFF -DwxWidgets_CONFIG_EXECUTABLE="$wx/bin/wx-config" \
  -DBRINDLEMARQUE_BENCH=OFF -DTINYXML_SOURCE_DIR="$out/tinyxml" \
  -DGTEST_SOURCE_DIR=/usr/src/googletest -DCLI11_INCLUDE_DIR="$out/cli11" -DBRINDLEMARQUE_HOST_PATH_PREFIX=Z: \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$here/scripts/wine-run.sh" >/dev/null \
  || { echo "windows: configure failed" >&2; exit 1; }
# The prefix is made once, before anything runs in it (about 20 s).
scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true
# Then one server lasts until the end: one that quits when idle can go just as
# the next test program connects, which then fails with "wine client error:
# ... Connection reset by peer". Wine's helper programs (services, devices)
# live as long as that server, and each inherits the output of the program
# that started it; they are started here with no output, so that they hold
# no test program's pipe open (the test list at build time reads to its end).
export WINEPREFIX=$out/wine
trap 'WINEPREFIX="$out/wine" wineserver -k 2>/dev/null || true' EXIT
wineserver -w
wineserver -p </dev/null >/dev/null 2>&1
scripts/wine-run.sh cmd /c exit </dev/null >/dev/null 2>&1 || true
unset WINEPREFIX
status=0
cmake --build "$out" -j "$(nproc)" || status=$?
if [ $status -eq 0 ]; then
  # Wine checks the heap at every call, and a fault it reports fails the
  # test: first shown on a program whose heap is corrupt.
  if BRINDLEMARQUE_WINE_HEAP_CHECK=1 scripts/wine-run.sh "$out/bin/heap_fault.exe" >/dev/null 2>&1; then
    echo "windows: Wine's heap checks passed a corrupt heap" >&2
    status=1
  fi
  BRINDLEMARQUE_WINE_HEAP_CHECK=1 ctest --test-dir "$out" --output-on-failure -j "$(nproc)" || status=$?
fi
[ $status -eq 0 ] && { scripts/windows-window.sh "$@" || status=$?; }
[ $status -eq 0 ] && { scripts/windows-window-cycles.sh || status=$?; }
[ $status -eq 0 ] && { (cd "$out" && cpack >/dev/null) || status=$?; }
[ $status -eq 0 ] && { scripts/windows-install-check.sh "$out/Brindlemarque-$(scripts/version.sh)-win64.exe" || status=$?; }
exit $status
