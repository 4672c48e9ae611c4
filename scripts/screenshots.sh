#!/usr/bin/env bash
# Takes screenshots of the main window's German and English copies under a
# virtual display, into docs/: docs/main-window-de.png, docs/main-window-en.png.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p docs
home=$(mktemp -d)
for lang in de en; do
  locale=de_DE.UTF-8
  [ "$lang" = en ] && locale=en_US.UTF-8
  xvfb-run -a -s "-screen 0 800x600x24" bash -c '
    cd examples/vesko
    HOME="$1" LANG="$2" LANGUAGE= LC_ALL= ../../build/bin/Brindlemarque 2>/dev/null &
    pid=$!
    for i in $(seq 50); do
      sleep 0.2
      xwininfo -root -tree | grep -q "Brindlemarque 1.88" && break
    done
    sleep 1
    id=$(xwininfo -root -tree | grep "Brindlemarque 1.88" | awk "{print \$1}")
    import -window "$id" "$3"
    kill $pid' _ "$home" "$locale" "$PWD/docs/main-window-$lang.png"
done
rm -rf "$home"
echo "screenshots in docs/"
