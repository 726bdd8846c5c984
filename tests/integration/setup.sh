#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prepares the real-kernel S.M.A.R.T. test in WORK_DIR (inside the build
# folder): installs what the test needs when it is missing, fetches a Debian
# kernel (cached), and builds a busybox initramfs holding our programs, their
# shared libraries, smartctl and the storage modules.
# Usage: setup.sh WORK_DIR CLI HELPER
# Exit status 77 when the tools cannot be had (the test is then skipped).
set -euo pipefail
work="$1"; cli="$2"; helper="$3"
here="$(cd "$(dirname "$0")" && pwd)"
kernel_series='6\.1\.0-[0-9]+-amd64'

need=()
command -v qemu-system-x86_64 >/dev/null || need+=(qemu-system-x86)
[ -x /bin/busybox ] && /bin/busybox --list | grep -qx su || need+=(busybox-static)
command -v smartctl >/dev/null || [ -x /usr/sbin/smartctl ] || need+=(smartctl)
command -v systemd-socket-activate >/dev/null || need+=(systemd)
command -v depmod >/dev/null || [ -x /usr/sbin/depmod ] || need+=(kmod)
command -v cpio >/dev/null || need+=(cpio)
if [ ${#need[@]} -gt 0 ]; then
  need=("${need[@]/smartctl/smartmontools}")
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if sudo -n true 2>/dev/null; then sudo="sudo -n"; else
      echo "integration: missing ${need[*]} and no root to install them" >&2; exit 77
    fi
  fi
  echo "integration: installing ${need[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq >&2 || exit 77
  $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" >&2 || exit 77
fi
export PATH="$PATH:/usr/sbin:/sbin"

mkdir -p "$work"
cd "$work"
# The kernel: the newest 6.1 image the archive offers, fetched once.
if ! ls kernel/boot/vmlinuz-* >/dev/null 2>&1; then
  pkg="$(apt-cache search --names-only "^linux-image-${kernel_series}\$" | awk '{print $1}' \
         | sort -V | tail -1)"
  [ -n "$pkg" ] || { echo "integration: no $kernel_series kernel package" >&2; exit 77; }
  rm -rf kernel ./*.deb
  (umask 022 && apt-get download "$pkg" >&2) || exit 77
  dpkg-deb -x ./"$pkg"_*.deb kernel
  rm -f ./*.deb
fi
version="$(basename "$(ls -d kernel/lib/modules/*)")"
cp "kernel/boot/vmlinuz-$version" vmlinuz

# The initramfs.
rm -rf root && mkdir -p root/{bin,sbin,etc,proc,sys,dev,tmp,run,modules,lib64,lib/x86_64-linux-gnu}
cp /bin/busybox root/bin/busybox
for applet in $(/bin/busybox --list); do
  [ "$applet" = busybox ] || ln -sf busybox "root/bin/$applet"
done
cp "$cli" "$helper" root/bin/
# The rest of the installation beside bin/: the information file (the
# program's name, hence its folders and log) and the modules.
installation="$(cd "$(dirname "$cli")/.." && pwd)"
mkdir -p root/share root/lib
cp -r "$installation/share/ostrivane" root/share/
for libdir in "$installation"/lib/ostrivane "$installation"/lib/*/ostrivane; do
  if [ -d "$libdir" ]; then
    mkdir -p "root/$(dirname "${libdir#"$installation"/}")"
    cp -r "$libdir" "root/${libdir#"$installation"/}"
  fi
done
cp "$(command -v smartctl || echo /usr/sbin/smartctl)" "$(command -v systemd-socket-activate)" root/bin/
for binary in root/bin/ostrivane-cli root/bin/ostrivane-smart-helper root/bin/smartctl \
              root/bin/systemd-socket-activate; do
  ldd "$binary" | awk '/=> \//{print $3} /^\t\/lib64/{print $1}'
done | sort -u | while read -r lib; do
  case "$lib" in
    /lib64/*) cp -L "$lib" root/lib64/ ;;
    *) cp -L "$lib" root/lib/x86_64-linux-gnu/ ;;
  esac
done
# systemd's private library lives outside the default search path.
cp -L /usr/lib/x86_64-linux-gnu/systemd/libsystemd-shared-*.so root/lib/x86_64-linux-gnu/ 2>/dev/null || true
depmod -b kernel "$version"
: > root/modules/load
# ext4 (with its checksum) mounts the file systems the check cycle looks behind.
for module in ahci nvme sd_mod crc32c_generic ext4; do
  modprobe -d kernel -S "$version" --show-depends "$module" | awk '$1=="insmod"{print $2}'
done | awk '!seen[$0]++' | while read -r ko; do
  cp "$ko" root/modules/
  echo "/modules/$(basename "$ko")" >> root/modules/load
done
printf 'root:x:0:0:root:/root:/bin/sh\nreader:x:1000:1000:reader:/tmp:/bin/sh\n' > root/etc/passwd
printf 'root:x:0:\nreader:x:1000:\n' > root/etc/group
install -m 0755 "$here/init" root/init
(cd root && find . | cpio -o -H newc --quiet) > initramfs.cpio

for disk in ssd hdd nvme0 nvme1; do
  [ -f "$disk.img" ] || truncate -s 64M "$disk.img"
done
