#!/usr/bin/env bash
# Installs those of the Debian packages given that are missing, with one
# apt-get update and one apt-get install; a machine that has them all runs
# no apt at all.   scripts/install-packages.sh WHO PACKAGE...
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
who=$1
shift
missing=()
for p in "$@"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
[ "${#missing[@]}" -eq 0 ] && exit 0
echo "$who: installing missing packages: ${missing[*]}"
SUDO=
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || { echo "$who: need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  SUDO=sudo
fi
$SUDO apt-get update >/dev/null || { echo "$who: apt-get update failed" >&2; exit 1; }
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}" >/dev/null \
  || { echo "$who: could not install: ${missing[*]}" >&2; exit 1; }
