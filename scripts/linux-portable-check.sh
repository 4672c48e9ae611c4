#!/usr/bin/env bash
# Checks the portable Linux archive where it must run: unpacked into a fresh
# folder (read-only: nothing may be written into it), in minimal systems that
# have GTK 3 and nothing of wxWidgets or TinyXML (debootstrap's minbase of
# Debian 12 and of Debian 13, with GTK 3 added; made once into the cache),
# entered with bwrap, as a user without root, under Xvfb:
#   - ldd finds every library each program needs (those not in the system
#     are in the archive, or linked in);
#   - brindlemarque-cli --version, and a build of the bundled example that
#     writes what the tests expect;
#   - the window starts in German (its stored language), and Alt+Shift+C,
#     German's key for the character's "...", opens "Charakter auswahl";
#   - ./install.sh puts it under ~/.local (programs, menu entry, icon, file
#     type, man pages), the installed command line runs, and
#     ./install.sh --uninstall removes exactly that, keeping settings and backups;
#   - a C library older than the floor is refused with a clear message.
#   scripts/linux-portable-check.sh ARCHIVE
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
here=$PWD
archive=$(readlink -f "$1")
scripts/install-packages.sh portable-check debootstrap bubblewrap xvfb xauth xdotool
cache_root=${BRINDLEMARQUE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/brindlemarque}

# A minimal root of SUITE with GTK 3 (GTK_PACKAGE), made once.
make_root() {
  local suite=$1 gtk=$2
  local root=$cache_root/roots/$suite-gtk3
  if [ ! -f "$root/.complete" ]; then
    echo "portable-check: making a minimal $suite with $gtk (a few minutes, once)" >&2
    rm -rf "$root" && mkdir -p "$root"
    debootstrap --variant=minbase "$suite" "$root" http://deb.debian.org/debian >/dev/null \
      || { echo "portable-check: debootstrap of $suite failed" >&2; exit 1; }
    # GTK through apt inside (debootstrap's own --include does not resolve
    # alternatives such as dconf's session bus).
    bwrap --bind "$root" / --proc /proc --dev /dev --tmpfs /tmp --ro-bind /etc/resolv.conf /etc/resolv.conf \
      sh -c "apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $gtk && apt-get clean" \
      >/dev/null || { echo "portable-check: $gtk could not be added to $suite" >&2; exit 1; }
    touch "$root/.complete"
  fi
  if compgen -G "$root/usr/lib/x86_64-linux-gnu/libwx_*" >/dev/null \
     || compgen -G "$root/usr/lib/x86_64-linux-gnu/libtinyxml*" >/dev/null; then
    echo "portable-check: the $suite root holds wxWidgets or TinyXML" >&2
    exit 1
  fi
  echo "$root"
}

work=$(mktemp -d)
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/unpacked"
tar -xzf "$archive" -C "$work/unpacked"
folder=$(ls "$work/unpacked")
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 & xvfb=$!
for i in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

check_in() {
  local suite=$1 root=$2
  local home=$work/home-$suite
  rm -rf "$home" && mkdir -p "$home/.config/Daoc"
  printf '[settings]\nlanguage=de\n' > "$home/.config/Daoc/Brindlemarque.conf"
  mkdir -p "$home/.local/share/Brindlemarque/backups/kept"  # a player's backup: stays
  cp -r "$work/unpacked/$folder/examples" "$home/ex"
  chown -R 1000:1000 "$home"
  # As the player (uid 1000), in the minimal root; the archive read-only.
  in_root() {
    bwrap --ro-bind "$root" / --proc /proc --dev /dev --tmpfs /tmp --tmpfs /home --tmpfs /opt \
      --ro-bind /tmp/.X11-unix /tmp/.X11-unix --ro-bind "$work/unpacked/$folder" /opt/brindlemarque \
      --ro-bind "$here/tests/data/expected" /opt/expected --bind "$home" /home/player \
      --setenv HOME /home/player --setenv DISPLAY "$display" --setenv PATH /usr/bin:/bin \
      --setenv NO_AT_BRIDGE 1 --chdir /home/player --die-with-parent \
      setpriv --reuid=1000 --regid=1000 --clear-groups -- "$@"
  }
  local missing
  missing=$(in_root sh -c 'ldd /opt/brindlemarque/bin/*' | grep 'not found' || true)
  [ -z "$missing" ] || { echo "portable-check: in $suite, ldd finds no$missing" >&2; exit 1; }
  in_root /opt/brindlemarque/brindlemarque-cli --version | grep -q "^brindlemarque-cli " \
    || { echo "portable-check: brindlemarque-cli --version failed in $suite" >&2; exit 1; }
  in_root /opt/brindlemarque/brindlemarque-cli build --config-dir ex/vesko \
    --template ex/vesko/templates/Alarion_Armsman.vsk --character ex/Alarion-4.ini >/dev/null \
    || { echo "portable-check: the example's build failed in $suite" >&2; exit 1; }
  cmp -s "$home/ex/Alarion-4.ini" tests/data/expected/Alarion-4.forward.ini \
    || { echo "portable-check: the example's build in $suite wrote something else" >&2; exit 1; }

  # The window, from the example planner's folder, in German.
  in_root sh -c 'cd ex/vesko && exec /opt/brindlemarque/Brindlemarque' >"$work/window.log" 2>&1 & local pid=$!
  local id
  id=$(DISPLAY=$display timeout 30 xdotool search --sync --onlyvisible --name "^Brindlemarque [0-9.]*\$" | head -n 1) \
    || { echo "portable-check: the window did not open in $suite" >&2; cat "$work/window.log" >&2; kill $pid; exit 1; }
  sleep 1
  DISPLAY=$display xdotool windowfocus --sync "$id" key alt+shift+c
  DISPLAY=$display timeout 15 xdotool search --sync --onlyvisible --name "^Charakter auswahl\$" >/dev/null \
    || { echo "portable-check: in $suite, Alt+Shift+C opened no German character dialog" >&2; kill $pid; exit 1; }
  kill $pid; wait $pid 2>/dev/null || true

  # Installed under ~/.local without root, and removed again.
  in_root /opt/brindlemarque/install.sh >/dev/null
  local id=org.brindlemarque.Brindlemarque
  for file in .local/bin/Brindlemarque .local/bin/brindlemarque-cli .local/share/applications/$id.desktop \
              .local/share/mime/packages/$id.xml .local/share/icons/hicolor/48x48/apps/$id.png \
              .local/share/man/man1/brindlemarque-cli.1.gz .local/lib/brindlemarque/bin/Brindlemarque; do
    [ -e "$home/$file" ] || [ -L "$home/$file" ] || { echo "portable-check: in $suite, install.sh made no ~/$file" >&2; exit 1; }
  done
  grep -q "^Exec=\"/home/player/.local/lib/brindlemarque/Brindlemarque\" %f" "$home/.local/share/applications/$id.desktop" \
    || { echo "portable-check: in $suite, the menu entry does not start the installed program" >&2; exit 1; }
  in_root /home/player/.local/bin/brindlemarque-cli --version >/dev/null \
    || { echo "portable-check: in $suite, the installed command line does not run" >&2; exit 1; }
  in_root /opt/brindlemarque/install.sh --uninstall >/dev/null
  local left
  left=$(cd "$home" && find .local -type f | grep -v '^.local/share/Brindlemarque/' || true)
  [ -z "$left" ] || { echo "portable-check: in $suite, --uninstall left: $left" >&2; exit 1; }
  [ -d "$home/.local/share/Brindlemarque/backups/kept" ] && [ -f "$home/.config/Daoc/Brindlemarque.conf" ] \
    || { echo "portable-check: in $suite, --uninstall removed settings or backups" >&2; exit 1; }
  echo "portable-check: $suite: libraries found, --version, the example's build, the window in German, install and uninstall under ~/.local"
}

check_in bookworm "$(make_root bookworm libgtk-3-0)"
check_in trixie "$(make_root trixie libgtk-3-0t64)"

# Below the floor: a C library the launcher is told is 2.31 (Ubuntu 20.04's).
mkdir -p "$work/old"
printf '#!/bin/sh\necho "glibc 2.31"\n' > "$work/old/getconf" && chmod +x "$work/old/getconf"
message=$(PATH=$work/old:$PATH "$work/unpacked/$folder/brindlemarque-cli" --version 2>&1 >/dev/null) && status=0 || status=$?
[ "$status" -eq 1 ] && [[ $message == "brindlemarque-cli needs the GNU C library "*" or newer; this system has 2.31."* ]] \
  || { echo "portable-check: a C library below the floor was not refused clearly: $message" >&2; exit 1; }
echo "portable-check: a C library below the floor is refused with: ${message%%$'\n'*}"
