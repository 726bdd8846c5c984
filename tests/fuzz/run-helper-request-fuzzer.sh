#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the helper-request fuzzer with clang (libFuzzer + ASan + UBSan) and
# runs it. Usage: run-helper-request-fuzzer.sh [SECONDS] [OUT_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
seconds="${1:-600}"
out="${2:-$root/build-fuzz}"
mkdir -p "$out/corpus"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src" \
  "$root/tests/fuzz/helper_request_fuzzer.cpp" \
  "$root/src/disks/platform/helper_protocol.cpp" \
  -o "$out/helper_request_fuzzer"
printf 'ata-status sda\n' > "$out/corpus/status"
printf 'nvme-log nvme0n1\n' > "$out/corpus/nvme"
printf 'S1 00000000 0 0 0\n' > "$out/corpus/answer"
printf 'ata-power-mode sda v2\nata-devstat-0 sda v2\nata-devstat-7 sda\n' > "$out/corpus/wear"
printf 'ata-devstat-1 sdb\n' > "$out/corpus/devstat"
printf 'ata-status sda v2\nata-data sda v2\nata-thresholds sda v2\n' > "$out/corpus/session"
printf 'S1 00000000 1 0 0\nS1 e00002bc 0 0 0\n' > "$out/corpus/answers"
cd "$out"
exec ./helper_request_fuzzer -max_total_time="$seconds" -max_len=1024 -print_final_stats=1 corpus
