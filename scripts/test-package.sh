#!/usr/bin/env bash
# Starts the portable folder on a machine that has never seen Qt: a Debian 12
# root file system with only what a stock desktop brings (X, fonts, OpenGL,
# GLib, D-Bus, CUPS, GStreamer and PulseAudio client libraries), no Qt. The
# archive is unpacked under a user's home, in a folder whose name has a
# space, and started under a virtual display; the test passes when the folder
# explains itself (LEGGIMI.txt, the manual's chapter on Linux), every library
# of the folder resolves, the login window shows with Qt's Italian texts taken
# from the folder, the delivered password opens the main menu and a first
# start writes no archive.
#
#   scripts/test-package.sh [dist/Vinarca-<version>-linux-x86_64.tar.gz]
#
# Needs root (chroot, mounts) and Debian's package mirror the first time: the
# root is made with debootstrap into build-root/debian12 and reused after.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

tarball=${1:-$(ls "$VINARCA_ROOT"/dist/Vinarca-*-linux-x86_64.tar.gz 2>/dev/null | head -n1)}
[ -f "$tarball" ] || { echo "no archive to test; make one with scripts/package.sh" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "$0 needs root (chroot)" >&2; exit 2; }
command -v debootstrap >/dev/null || vinarca_install_packages debootstrap

root=${VINARCA_TEST_ROOT:-$VINARCA_ROOT/build-root/debian12}
mirror=${VINARCA_DEBIAN_MIRROR:-http://deb.debian.org/debian}
desktop=(
  xvfb xauth x11-utils x11-apps xdotool fonts-dejavu-core fonts-liberation2
  libx11-6 libx11-xcb1 libxcb1 libxkbcommon0 libxkbcommon-x11-0 libsm6 libice6
  libfontconfig1 libfreetype6 libpng16-16 libharfbuzz0b libgl1 libegl1
  libglib2.0-0 libdbus-1-3 libcups2 libgstreamer1.0-0 libgstreamer-plugins-base1.0-0
  libgstreamer-gl1.0-0 libpulse0 libproxy1v5 libgssapi-krb5-2
)

# Runs a command in the root as `user` (root or utente), in a mount namespace
# of its own, so /proc and /dev are there for it and go away with it.
as_in_root() {
  local user=$1; shift
  unshare --mount --fork sh -c '
    root=$1 user=$2; shift 2
    mount -t proc proc "$root/proc" && mount --rbind /dev "$root/dev" || exit 1
    home=/home/$user; [ "$user" = root ] && home=/root
    exec chroot --userspec=$user:$user "$root" env -i HOME=$home USER=$user \
      PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"' sh "$root" "$user" "$@"
}
in_root() { as_in_root utente "$@"; }

started=$SECONDS
if [ ! -f "$root/etc/debian_version" ]; then
  echo "Making a Debian 12 root in $root (a few minutes, once)"
  mkdir -p "$(dirname "$root")"
  debootstrap --variant=minbase bookworm "$root" "$mirror" > "$root.log" 2>&1 \
    || { tail -20 "$root.log" >&2; exit 1; }
fi
if [ "$(cat "$root/.vinarca-desktop" 2>/dev/null)" != "${desktop[*]}" ]; then
  echo "Installing the desktop libraries into the root"
  as_in_root root sh -c 'apt-get update -qq &&
    apt-get install -y -qq --no-install-recommends "$@" >/dev/null &&
    { id utente >/dev/null 2>&1 || useradd -m utente; }' sh "${desktop[@]}"
  echo "${desktop[*]}" > "$root/.vinarca-desktop"
fi
echo "root ready in $((SECONDS - started)) s"

# The point of the test: nothing of Qt in the root.
if chroot "$root" dpkg-query -W -f='${Package}\n' 'libqt*' 'qt6-*' 2>/dev/null | grep -q .; then
  echo "FAIL: the test root has Qt installed" >&2; exit 1
fi

home="$root/home/utente"
rm -rf "$home/Chiavetta USB"
mkdir -p "$home/Chiavetta USB"
tar -C "$home/Chiavetta USB" -xzf "$tarball"
chroot "$root" chown -R utente:utente "/home/utente/Chiavetta USB"
folder="/home/utente/Chiavetta USB/Vinarca"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# What whoever unpacks the archive reads first: how to start the program and
# what the menu script does, in LEGGIMI.txt and in the manual.
for text in ./vinarca installa-menu.sh Guida.pdf; do
  grep -qF "$text" "$home/Chiavetta USB/Vinarca/LEGGIMI.txt" 2>/dev/null || fail "LEGGIMI.txt does not mention $text"
done
if command -v pdftotext >/dev/null; then
  # Compared without blanks: the justified lines may break a name anywhere.
  manual=$(pdftotext "$home/Chiavetta USB/Vinarca/Guida.pdf" - 2>/dev/null | tr -d ' \n')
  for text in "AvviosuLinux" "./vinarca" "./installa-menu.sh"; do
    [[ $manual == *"$text"* ]] || fail "Guida.pdf does not mention $text"
  done
fi

missing=$(in_root sh -c 'cd "$1" && find . -name "*.so*" -o -name vinarca -type f | while read -r f; do
  ldd "$f" | sed -n "s|^|$f: |; /not found/p"; done' sh "$folder")
[ -z "$missing" ] || fail "libraries not found in the root:"$'\n'"$missing"

# Start the program, wait for the login window, type the delivered password
# and wait for the main menu; a screenshot of the login is kept beside the root.
session=$(in_root xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  program=$1
  XDG_RUNTIME_DIR=$(mktemp -d) && export XDG_RUNTIME_DIR
  "$program" > /tmp/vinarca.log 2>&1 &
  pid=$!
  waitfor() {
    for _ in $(seq 100); do
      xdotool search --onlyvisible --name "^$1\$" 2>/dev/null && return 0
      kill -0 $pid 2>/dev/null || return 1
      sleep 0.2
    done
    return 1
  }
  if login=$(waitfor " Vinarca - Accesso" | head -n1) && [ -n "$login" ]; then
    echo login-window
    grep -q "/translations/qtbase_it.qm" /proc/$pid/maps && echo italian-texts
    xwd -root -silent -out /tmp/login.xwd
    xdotool windowactivate --sync "$login" 2>/dev/null || xdotool windowfocus --sync "$login"
    xdotool type --delay 20 grappolodoraro
    xdotool key Return
    waitfor " Vinarca" > /dev/null && echo main-menu
  fi
  kill -0 $pid 2>/dev/null && echo still-running
  kill $pid 2>/dev/null
  sed "s/^/program: /" /tmp/vinarca.log
' sh "$folder/vinarca" 2>&1) || true
echo "$session" | grep -q '^login-window$' || fail "no login window appeared"
echo "$session" | grep -q '^italian-texts$' || fail "the program did not load Qt's Italian texts from the folder"
echo "$session" | grep -q '^main-menu$' || fail "the delivered password did not open the main menu"
echo "$session" | grep -q '^still-running$' || fail "the program ended by itself"
echo "$session" | grep '^program: ' >&2 || true
cp "$root/tmp/login.xwd" "$(dirname "$root")/login.xwd" 2>/dev/null || true

# A first start writes nothing but what it needs: no archive appears before
# the user saves one.
if ls "$home/Chiavetta USB/Vinarca/"*.pro >/dev/null 2>&1; then fail "archives appeared at start-up"; fi

echo "package test finished in $((SECONDS - started)) s"
[ "$failures" -eq 0 ] && echo "portable folder: starts in a root without Qt"
exit "$failures"
