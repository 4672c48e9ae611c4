#!/usr/bin/env bash
# Unpacks Debian's source package NAME (of this release) into DEST, once:
#   scripts/debian-source.sh NAME DEST
# It reads the sources through a list of its own beside DEST; the machine's
# apt configuration is left alone.
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
name=$1 dest=$2
[ -f "$dest/.unpacked" ] && exit 0
for tool in apt-get dpkg-source; do
  command -v "$tool" >/dev/null || { echo "debian-source: $tool is missing (package dpkg-dev)" >&2; exit 1; }
done
work=$(dirname "$dest")/.apt-$name
rm -rf "$work" && mkdir -p "$work/lists/partial" "$work/src"
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
echo "deb-src http://deb.debian.org/debian $codename main" > "$work/sources.list"
opts=(-o "Dir::Etc::SourceList=$work/sources.list" -o "Dir::Etc::SourceParts=$work/none"
      -o "Dir::State::Lists=$work/lists")
apt-get "${opts[@]}" update >/dev/null || { echo "debian-source: cannot read the source list" >&2; exit 1; }
(cd "$work/src" && apt-get "${opts[@]}" source --download-only "$name/$codename" >/dev/null 2>&1) \
  || { echo "debian-source: cannot fetch the source of $name" >&2; exit 1; }
rm -rf "$dest"
dpkg-source -x "$work"/src/"${name}"_*.dsc "$dest" >/dev/null 2>&1 \
  || { echo "debian-source: cannot unpack $name" >&2; exit 1; }
touch "$dest/.unpacked"
rm -rf "$work"
