#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian packages (ostrivane-cli, ostrivane) from a clean copy of
# the tree, so the build leaves nothing in the working tree or beside it.
#
# usage: build-deb.sh OUTDIR [COMMIT]
#   Without COMMIT: the working tree as it is (committed or not).
#   With COMMIT: that commit's tree, versioned just below the working tree's
#   package (VERSION~prev.COMMIT), for upgrade tests; a commit from before the
#   packaging, or any with OSTRIVANE_DEB_PACKAGING=current, gets today's
#   debian/ folder.
set -euo pipefail
out=${1:?usage: build-deb.sh OUTDIR [COMMIT]}
commit=${2:-}
top=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)
# One fixed folder for every build of this tree (this one's and an older
# commit's), so that the compiler cache recognises unchanged sources.
work=$top/build/.deb-work
rm -rf "$work"
trap 'rm -rf "$work"' EXIT
src=$work/ostrivane
mkdir -p "$src"
if [ -n "$commit" ]; then
    git -C "$top" archive "$commit" | tar -x -C "$src"
    if [ ! -d "$src/debian" ] || [ "${OSTRIVANE_DEB_PACKAGING:-}" = current ]; then
        rm -rf "$src/debian"
        cp -a "$top/debian" "$src/debian"
    fi
    version=$(dpkg-parsechangelog -l "$top/debian/changelog" -S Version)
    short=$(git -C "$top" rev-parse --short "$commit")
    sed -i "1s/([^)]*)/($version~prev.$short)/" "$src/debian/changelog"
else
    # Tracked and new files alike, without what .gitignore keeps out (builds).
    git -C "$top" ls-files -z --cached --others --exclude-standard |
        (cd "$top" && xargs -0 cp --parents -a -t "$src" 2>/dev/null || true)
    # Files deleted but not yet committed are listed too; they are simply absent.
fi

# Reuse the developer's compiler cache: debhelper gives the build a home of its own.
if command -v ccache >/dev/null; then
    CCACHE_DIR=${CCACHE_DIR:-$(ccache -k cache_dir 2>/dev/null || echo "$HOME/.cache/ccache")}
    export CCACHE_DIR CCACHE_BASEDIR=$src CCACHE_NOHASHDIR=1
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
fi
export DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}"
(cd "$src" && dpkg-buildpackage -us -uc -b -j"$(nproc)" >"$work/build.log" 2>&1) || {
    tail -n 60 "$work/build.log" >&2
    exit 1
}
mv "$work"/*.deb "$work"/*.changes "$work"/*.buildinfo "$out"/
ls "$out"/*.deb
