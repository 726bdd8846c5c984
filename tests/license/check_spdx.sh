#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails on any source, script or build file of the tree that does not carry
# the licence identifier in its first three lines, so no file ships unlicensed.
# Recorded machines and smartctl captures are data, not sources.
set -eu
root=${1:?usage: check_spdx.sh SOURCE_DIR}
cd "$root"
missing=$(find . \( -path ./tests/fixtures -o -path ./resources/machines -o -path './build*' \
        -o -path ./.git -o -path ./debian -o -path ./obj-\* \) -prune -o -type f \
        \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.py' -o -name '*.sh' \
        -o -name '*.cmake' -o -name CMakeLists.txt -o -name Makefile -o -name '*.service' \
        -o -name '*.socket' -o -name '*.timer' -o -path ./.ci/run -o -path ./tests/integration/init \) \
        -print | sort | while read -r f; do
    head -n 3 "$f" | grep -q 'SPDX-License-Identifier: GPL-3.0-or-later' || echo "$f"
done)
if [ -n "$missing" ]; then
    echo "files without an SPDX-License-Identifier line:" >&2
    echo "$missing" >&2
    exit 1
fi
[ -f COPYING ] || { echo "COPYING is missing" >&2; exit 1; }
