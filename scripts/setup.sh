#!/usr/bin/env bash
# Installs the Debian packages the project needs (only the missing ones) and
# builds the project into the folder given as $1 (default: build).
# Extra CMake arguments may follow the folder.
set -euo pipefail

PACKAGES=(
  g++ cmake make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libtinyxml-dev libcli11-dev
  libwxgtk3.2-dev wx-common xvfb xauth x11-utils xdotool imagemagick fonts-dejavu-core
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing missing packages: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
    command -v sudo >/dev/null 2>&1 || { echo "setup: need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  else
    SUDO=
  fi
  $SUDO apt-get update || { echo "setup: apt-get update failed" >&2; exit 1; }
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}" \
    || { echo "setup: could not install: ${missing[*]}" >&2; exit 1; }
fi

build_dir=${1:-build}
shift || true
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null \
  || { echo "setup: cmake configure failed" >&2; exit 1; }
cmake --build "$build_dir" -j "$(nproc)" \
  || { echo "setup: build failed" >&2; exit 1; }
