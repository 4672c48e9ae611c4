#!/usr/bin/env bash
# Writes the seed corpora of the fuzz targets into $1/<target>/, made from
# the bundled examples and the test data, in each target's input layout
# (parts joined by the separator "\n#---#\n").
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$1
vesko=$root/examples/vesko
chars=("$root/examples/appdata/Electronic Arts/Dark Age of Camelot/LotM"/*.ini "$root/tests/data/character_crlf.ini")
sep=$'\n#---#\n'
mkdir -p "$out"/{fuzz_profile,fuzz_xml,fuzz_build,fuzz_characters}

n=0
for c in "${chars[@]}"; do
  n=$((n + 1))
  # A few writes, deletes, reads and clears of bar and macro keys.
  { cat "$c"; printf '%s' "$sep"; printf '\x00\x00\x01\x02\x01\x03\x05hello\x02\x02\x00\x00\x03\x00\x00\x01\x05\x02\x04x'; } \
    > "$out/fuzz_profile/seed$n"
  { printf 'Morwen-4.ini%s' "$sep"; cat "$c"; printf '%s\x00\x00\x80' "$sep"; } > "$out/fuzz_characters/seed$n"
  { printf 'Anne-Marie-03.ini%s' "$sep"; cat "$c"; printf '%s\x40\x01\x20' "$sep"; } > "$out/fuzz_characters/pad$n"
done
# The launchers' files: a Lutris game, Steam's libraries, a Heroic game.
printf 'Morwen-4.ini%sgame:\n  prefix: "~/Games/daoc"\n"libraryfolders" { "0" { "path" "/x\\\\y\\"z" } }\n{"g": {"winePrefix" : "/h\\/p"}}\n%s\x00\x00\x00' \
  "$sep" "$sep" > "$out/fuzz_characters/launchers"

t=0
for templ in "$vesko"/templates/*.vsk; do
  t=$((t + 1))
  { cat "$templ"; printf '%s' "$sep"; cat "$vesko/config.xml"; printf '%s' "$sep"; cat "$vesko/config_gem.xml"; } \
    > "$out/fuzz_xml/seed$t"
  n=0
  for c in "${chars[@]}"; do
    n=$((n + 1))
    { printf '\x03\x03\x08\x05\x01%s' "$sep"; cat "$templ"; printf '%s' "$sep"; cat "$vesko/config.xml"
      printf '%s' "$sep"; cat "$vesko/config_gem.xml"; printf '%s' "$sep"; cat "$c"; } > "$out/fuzz_build/seed$t-$n"
  done
done
