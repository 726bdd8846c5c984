#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages needed to build Ostrivane, with --test
# those its test suite needs too, with --package those that build and test
# its Debian packages.
# Does nothing when they are all present already.
set -euo pipefail

# What building and running needs.
packages=(
  build-essential cmake pkg-config
  qt6-base-dev
  # The icons are rendered from SVG at build time.
  qt6-svg-dev
  libsqlite3-dev sqlite3
  # lrelease compiles the translations (its CMake functions come with the tools' development files).
  qt6-l10n-tools qt6-tools-dev
  # Qt's own texts (standard buttons, option-parser messages) in the user's language.
  qt6-translations-l10n
  # E-mail to the administrator's own SMTP server (in the network module).
  libcurl4-openssl-dev
  # The tests and benchmarks are built with the program.
  libgtest-dev libgmock-dev libbenchmark-dev
)
# What running the test suite needs besides (with --test).
test_packages=(
  # The real-kernel test of S.M.A.R.T. reading: a Debian kernel under QEMU,
  # compared with smartctl, the helper started through systemd-socket-activate.
  qemu-system-x86 busybox-static smartmontools kmod cpio systemd
  # Desktop notifications and the tray watcher are tested against a private session bus.
  dbus-daemon
  # The desktop entries are checked with the freedesktop validator, the
  # metainfo with appstreamcli; the window screenshots measure their texts in
  # DejaVu.
  desktop-file-utils appstream file fonts-dejavu-core
  # The shell completions are loaded by the shells themselves.
  bash-completion zsh fish
  # The real tray item is tested on an X server of its own.
  xvfb xauth xdotool
  # The monitoring resources: the Zabbix template is read as YAML, the Icinga 2
  # CheckCommand validated by icinga2 itself (no daemon is started).
  python3-yaml icinga2-bin icinga2-common
  # Every command's JSON output is validated against its JSON Schema.
  python3-jsonschema
  # E-mail is sent to a real SMTP server (STARTTLS, AUTH) with a test CA.
  python3-aiosmtpd openssl
  # promtool checks the textfile and tests the alerting rules; the package's
  # server is kept from starting (see below).
  prometheus
)
# What building, checking and testing the Debian packages needs (with --package).
package_packages=(debhelper dpkg-dev fakeroot lintian mmdebstrap systemd git)
case "${1:-}" in
  --test) packages+=("${test_packages[@]}") ;;
  --package) packages+=("${package_packages[@]}") ;;
  "") ;;
  *) echo "usage: $0 [--test | --package]" >&2; exit 64 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# Only promtool is wanted from "prometheus": no package may start its daemon
# here (policy-rc.d 101 forbids it while installing), nor at the next boot.
policy=""
if [ ! -e /usr/sbin/policy-rc.d ]; then
  policy=/usr/sbin/policy-rc.d
  printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
  $sudo chmod 755 "$policy"
fi
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" || status=$?
[ -z "$policy" ] || $sudo rm -f "$policy"
[ "${status:-0}" -eq 0 ] || exit "$status"
if [[ " ${missing[*]} " == *" prometheus "* ]] && [ -d /run/systemd/system ]; then
  $sudo systemctl disable --now prometheus.service 2>/dev/null || true
fi
