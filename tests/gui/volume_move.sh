#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Run inside a private mount namespace (unshare -m): installs onto a tmpfs,
# starts ostrivane from it, moves the mount, and tells which copies run after
# the move watch's latency + 5 s.
# Usage: volume_move.sh PLACE CMAKE BUILD_DIR MACHINE
set -e
place=$1 cmake=$2 build=$3 machine=$4
mkdir -p "$place/old" "$place/new"
mount -t tmpfs volume "$place/old"
"$cmake" --install "$build" --prefix "$place/old/inst" > /dev/null
"$place/old/inst/bin/ostrivane" --machine "$machine" 2> "$place/errors" &
old=$!
i=0
while [ ! -S "$XDG_RUNTIME_DIR/ostrivane.socket" ] && [ $i -lt 300 ]; do
    sleep 0.1
    i=$((i + 1))
done
sleep 0.5
mount --move "$place/old" "$place/new"
sleep 8
if kill -0 "$old" 2> /dev/null; then echo "old running"; else echo "old gone"; fi
for process in /proc/[0-9]*; do
    case "$(readlink "$process/exe" 2> /dev/null)" in
        "$place/new/inst/bin/ostrivane") echo "new running"; kill "${process#/proc/}" ;;
        "$place/old/inst/bin/ostrivane") echo "old path running"; kill "${process#/proc/}" ;;
    esac
done
