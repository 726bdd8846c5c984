#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages into a throw-away Debian 12 root, as a user of
# a fresh system would: install a package of the previous commit, use it,
# upgrade to the packages of this tree, check that the user's setting and the
# system monitor's state survived, purge, and list what is left.
#
# usage: package-test.sh DEB_DIR
#   DEB_DIR holds this tree's ostrivane-cli and ostrivane packages (make deb).
# The base root (made by mmdebstrap with the packages' dependencies) and the
# previous commit's packages are cached in $OSTRIVANE_PACKAGE_TEST_CACHE
# (default ~/.cache/ostrivane-package-test). Needs root (chroot, mounts).
set -euo pipefail
debs=$(cd "${1:?usage: package-test.sh DEB_DIR}" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
cache=${OSTRIVANE_PACKAGE_TEST_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/ostrivane-package-test}
mkdir -p "$cache"
started=$(date +%s)
phase() { echo "== [$(($(date +%s) - started)) s] $*"; }

arch=$(dpkg --print-architecture)
newest() { find "$debs" -maxdepth 1 -name "$1_*_$arch.deb" -printf '%T@ %p\n' | sort -n | tail -1 | cut -d' ' -f2-; }
cli_deb=$(newest ostrivane-cli)
gui_deb=$(newest ostrivane)
[ -n "$cli_deb" ] && [ -n "$gui_deb" ] || { echo "no packages in $debs: run 'make deb' first" >&2; exit 1; }

# The packages of the previous commit, built once per commit.
previous=$(git -C "$top" rev-parse HEAD~1)
prev_dir=$cache/previous-$previous
if ! ls "$prev_dir"/ostrivane-cli_*.deb >/dev/null 2>&1; then
    phase "building the packages of the previous commit ${previous:0:12}"
    rm -rf "$cache"/previous-*
    # Its own packaging when it builds, else today's (an older debian/ may not
    # fit the files that commit installs).
    "$top/scripts/build-deb.sh" "$prev_dir" "$previous" >/dev/null 2>"$cache/previous.log" ||
        OSTRIVANE_DEB_PACKAGING=current "$top/scripts/build-deb.sh" "$prev_dir" "$previous" >/dev/null
fi

# The base root: Debian 12 with the packages' run-time dependencies, so that
# installing needs no network. Rebuilt when those dependencies change.
depends=$(for deb in "$cli_deb" "$gui_deb" "$prev_dir"/*.deb; do dpkg-deb -f "$deb" Depends; done |
    tr ',' '\n' | sed 's/|.*//; s/(.*)//; s/:any//; s/ //g' | grep -v '^ostrivane' | sort -u | paste -sd, -)
key=$(printf '%s' "$depends" | sha256sum | cut -c1-16)
base=$cache/bookworm-$key.tar
if [ ! -s "$base" ]; then
    phase "making the Debian 12 root with: $depends"
    rm -rf "$cache"/bookworm-*.tar*
    sources=/etc/apt/sources.list.d/debian.sources
    [ -f "$sources" ] || sources=http://deb.debian.org/debian
    mmdebstrap --quiet --format=tar --variant=apt --include="$depends,passwd" bookworm "$base.part" "$sources"
    mv "$base.part" "$base"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
mkdir "$root"
phase "unpacking the root"
tar -C "$root" -xf "$base"
mkdir -p "$root/pkg/previous" "$root/pkg/current"
cp "$prev_dir"/ostrivane-cli_*.deb "$prev_dir"/ostrivane_*.deb "$root/pkg/previous/"
cp "$cli_deb" "$gui_deb" "$root/pkg/current/"
cp -a "$top/resources/machines/demo" "$root/pkg/demo"

cat >"$root/pkg/test.sh" <<'SCRIPT'
#!/bin/sh
set -eu
phase() { echo "== $*"; }
fail() { echo "FAIL: $*" >&2; exit 1; }
as_user() { runuser -u tester -- env HOME=/home/tester LANG=C.UTF-8 "$@"; }
useradd --create-home tester

phase "installing the previous commit's packages: $(ls /pkg/previous)"
dpkg -i /pkg/previous/*.deb
[ -L /etc/systemd/system/sockets.target.wants/ostrivane-smart.socket ] ||
    fail "the S.M.A.R.T. socket is not enabled"
[ ! -e /etc/systemd/system/multi-user.target.wants/ostrivane-monitor.service ] ||
    fail "the system monitor is enabled"
as_user ostrivane-cli defaults write ThresholdWarning -int 42
as_user ostrivane-cli check --state /home/tester/demo-state --machine /pkg/demo >/dev/null || true
# What the system monitor leaves when it has run (a dynamic user's state).
mkdir -p /var/lib/private/ostrivane/data/Ostrivane
echo "a logged check" >/var/lib/private/ostrivane/data/Ostrivane/Ostrivane.log
ln -s private/ostrivane /var/lib/ostrivane

phase "upgrading to $(ls /pkg/current)"
dpkg -i /pkg/current/*.deb
dpkg -l 'ostrivane*' | grep '^ii'
phase "ostrivane-cli --version"
as_user ostrivane-cli --version
phase "ostrivane-cli check --machine (demo machine)"
status=0
as_user ostrivane-cli check --machine /pkg/demo || status=$?
[ "$status" -le 3 ] || fail "check exited $status"
phase "the German translation is where the program looks"
as_user env LANG=de_DE.UTF-8 ostrivane-cli check --machine /pkg/demo | grep -m1 'Zustand:' ||
    fail "no German text with LANG=de_DE.UTF-8"
phase "ostrivane --version (offscreen)"
as_user env QT_QPA_PLATFORM=offscreen ostrivane --version
phase "the user's setting after the upgrade"
value=$(as_user ostrivane-cli defaults read ThresholdWarning)
echo "ThresholdWarning = $value"
[ "$value" = 42 ] || fail "the stored setting did not survive the upgrade"
[ -f /var/lib/ostrivane/data/Ostrivane/Ostrivane.log ] || fail "the upgrade removed the system monitor's log"
[ -f /home/tester/demo-state/data/Ostrivane/Ostrivane.log ] || [ -d /home/tester/demo-state ] ||
    fail "the upgrade removed a user's state"

phase "purging"
files=$(dpkg -L ostrivane-cli ostrivane | sort -u)
dpkg --purge ostrivane ostrivane-cli
[ ! -e /var/lib/ostrivane ] && [ ! -e /var/lib/private/ostrivane ] ||
    fail "the purge left the system monitor's state"
[ -f /home/tester/.config/com.wendle.Ostrivane.sqlite3 ] || fail "the purge touched a user's home"
phase "left after the purge (outside /home, /pkg, /proc, /dev):"
left=$(find / -xdev \( -path /proc -o -path /dev -o -path /home -o -path /pkg \) -prune -o \
    -iname '*ostrivane*' -print)
for f in $files; do [ -e "$f" ] && [ ! -d "$f" ] && left="$left
$f"; done
left=$(echo "$left" | sed '/^$/d' | sort -u)
if [ -n "$left" ]; then echo "$left"; fail "files were left behind"; fi
echo "(nothing)"
SCRIPT
chmod +x "$root/pkg/test.sh"

phase "running the test in the root"
status=0
unshare --mount --pid --fork sh -c '
    set -e
    mount -t proc proc "$1/proc"
    mount --bind /dev "$1/dev"
    exec chroot "$1" /pkg/test.sh' sh "$root" || status=$?
phase "done: exit status $status"
exit "$status"
