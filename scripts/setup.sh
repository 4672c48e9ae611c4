#!/usr/bin/env bash
# Installs the Debian packages the project needs (only the missing ones) and
# builds the project into the folder given as $1 (default: build).
# Extra CMake arguments may follow the folder.
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."

PACKAGES=(
  g++ cmake make
  libgtest-dev libgmock-dev libbenchmark-dev
  libtinyxml-dev libcli11-dev gettext
  libwxgtk3.2-dev wx-common wx3.2-i18n locales xvfb xauth x11-utils xdotool imagemagick fonts-dejavu-core openbox libgtk-3-dev
)

scripts/install-packages.sh setup "${PACKAGES[@]}"
# The window tests include a German user's session; the command line's, a
# terminal of one byte per character.
for pair in UTF-8:'de_DE.utf-\?8' ISO-8859-1:'de_DE.iso-\?8859-\?1'; do
  charset=${pair%%:*}
  locale -a 2>/dev/null | grep -qix "${pair#*:}" && continue
  echo "setup: generating the de_DE.$charset locale"
  sudo=; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo localedef -i de_DE -f "$charset" "de_DE.$charset" \
    || { echo "setup: cannot generate the de_DE.$charset locale" >&2; exit 1; }
done

build_dir=${1:-build}
shift || true
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null \
  || { echo "setup: cmake configure failed" >&2; exit 1; }
cmake --build "$build_dir" -j "$(nproc)" \
  || { echo "setup: build failed" >&2; exit 1; }
