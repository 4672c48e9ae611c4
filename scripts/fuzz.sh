#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang into build-fuzz/ and
# runs each for SECONDS (default 60), first over its regression inputs and a
# seed corpus made from the examples. TinyXML is built from Debian's source
# package so that the parser is instrumented as well. A finding stops the
# run; its input is written into build-fuzz/findings/<target>/.
#   scripts/fuzz.sh [SECONDS]
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
seconds=${1:-60}
here=$PWD
out=$here/build-fuzz

scripts/install-packages.sh fuzz clang-14 libclang-rt-14-dev cmake make dpkg-dev

# TinyXML's source, fetched once.
src=$out/tinyxml
scripts/debian-source.sh tinyxml "$src"

CC=clang-14 CXX=clang++-14 cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRINDLEMARQUE_FUZZ=ON \
  -DTINYXML_SOURCE_DIR="$src" >/dev/null || { echo "fuzz: configure failed" >&2; exit 1; }
cmake --build "$out" -j "$(nproc)" >/dev/null || { echo "fuzz: build failed" >&2; exit 1; }
seeds=$out/tests/fuzz/seeds  # made by the build

status=0
# The targets as tests/fuzz/CMakeLists.txt lists them (the one place that names them).
targets=$(sed -n 's/^set(FUZZ_TARGETS \(.*\))$/\1/p' tests/fuzz/CMakeLists.txt)
[ -n "$targets" ] || { echo "fuzz: no FUZZ_TARGETS in tests/fuzz/CMakeLists.txt" >&2; exit 1; }
for target in $targets; do
  corpus=$out/corpus/$target findings=$out/findings/$target
  mkdir -p "$corpus" "$findings"
  max_len=65536
  [ "$target" = fuzz_xml ] && max_len=1048576
  echo "=== $target: $seconds s"
  if ! "$out/bin/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=$max_len \
       -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$seeds/$target" \
       "$here/tests/fuzz/regressions/$target" 2>"$out/$target.log"; then
    tail -n 30 "$out/$target.log"
    echo "fuzz: $target found a problem; the input is in $findings (add it to tests/fuzz/regressions/$target)" >&2
    status=1
  else
    grep -E "stat::number_of_executed_units|cov:" "$out/$target.log" | tail -n 2
  fi
done
exit $status
