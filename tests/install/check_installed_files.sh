#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and checks that the desktop,
# software-centre, icon, manual and completion files land where the desktop,
# man and the shells look, and that their validators find them clean.
# usage: check_installed_files.sh CMAKE BUILD_DIR
set -uo pipefail
cmake=${1:?usage: check_installed_files.sh CMAKE BUILD_DIR}
build=${2:?usage: check_installed_files.sh CMAKE BUILD_DIR}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

"$cmake" --install "$build" --prefix "$root/usr" >/dev/null || { echo "cmake --install failed" >&2; exit 1; }
share=$root/usr/share

for size in 16 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/ostrivane.png
    if [ ! -s "$png" ]; then
        fail "no ${size}x${size} application icon"
    elif command -v file >/dev/null && ! file "$png" | grep -q "PNG image data, $size x $size"; then
        fail "$png is not a $size x $size PNG: $(file -b "$png")"
    fi
done
for f in icons/hicolor/scalable/apps/ostrivane.svg icons/hicolor/symbolic/apps/ostrivane-symbolic.svg \
    applications/ostrivane.desktop metainfo/com.wendle.Ostrivane.metainfo.xml \
    man/man1/ostrivane-cli.1 man/man1/ostrivane.1 man/man5/ostrivane.conf.5 \
    man/man8/ostrivane-smart-helper.8 bash-completion/completions/ostrivane-cli \
    bash-completion/completions/ostrivane zsh/site-functions/_ostrivane-cli \
    fish/vendor_completions.d/ostrivane-cli.fish fish/vendor_completions.d/ostrivane.fish; do
    [ -s "$share/$f" ] || fail "share/$f is not installed"
done

desktop=$share/applications/ostrivane.desktop
metainfo=$share/metainfo/com.wendle.Ostrivane.metainfo.xml
if [ -f "$desktop" ]; then
    # The entry names an icon and a program that the installation has.
    icon=$(sed -n 's/^Icon=//p' "$desktop" | head -1)
    [ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "the desktop entry's icon '$icon' is not installed"
    exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop" | head -1)
    [ -x "$root/usr/bin/$exec" ] || fail "the desktop entry's program '$exec' is not installed"
    grep -q '^Name=Show Ostrivane$' "$desktop" || fail "the desktop entry has no 'Show Ostrivane' action"
    if command -v desktop-file-validate >/dev/null; then
        out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
        [ -z "$out" ] || fail "desktop-file-validate: $out"
    else
        echo "desktop-file-validate not installed: the entry is not validated"
    fi
fi
if [ -f "$metainfo" ]; then
    grep -q "<launchable type=\"desktop-id\">ostrivane.desktop</launchable>" "$metainfo" ||
        fail "the metainfo does not launch the installed desktop entry"
    if command -v appstreamcli >/dev/null; then
        # Informational and pedantic notes (I:, P:) are allowed, warnings and errors not.
        out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
        ! grep -qE '^[EW]:' <<<"$out" || fail "appstreamcli validate: $out"
    else
        echo "appstreamcli not installed: the metainfo is not validated"
    fi
fi

# The units name programs and manual pages that this installation has, so
# systemd can check them.
units=$root/usr/lib/systemd/system
if command -v systemd-analyze >/dev/null; then
    man=--man=yes
    command -v man >/dev/null || man=--man=no
    out=$(cd "$units" && MANPATH=$share/man systemd-analyze verify $man ./*.service ./*.socket ./*.timer 2>&1) ||
        fail "systemd-analyze verify: $out"
    [ -z "$out" ] || fail "systemd-analyze verify: $out"
fi

[ "$failures" -eq 0 ] || exit 1
echo "installed files: all checks passed"
