#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts PROCESSES checks of the demo machine at the same moment in a fresh
# home, for ROUNDS rounds, and checks that the shared log file kept every
# line of every process: each process must leave as many lines as one check
# alone does, whole and in the file's line format. Every other round starts
# with a log just past its 25 MiB limit, so the processes also trim it while
# the others append.
# Usage: tests/stress/concurrent_log_stress.sh [BUILD_DIR] [ROUNDS] [PROCESSES]
# With KEEP_FAILED=FILE, the log of a failed round is copied there.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
rounds=${2:-20}
processes=${3:-20}
cli="$build/bin/ostrivane-cli"
machine=resources/machines/demo
if [ ! -x "$cli" ]; then
  echo "no $cli: build first (make build)" >&2
  exit 66
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A fresh home with its own XDG folders, as a first start would find it.
fresh_home() {
  local home=$1
  mkdir -p "$home/config" "$home/data" "$home/state" "$home/cache"
}
run_env() {
  local home=$1
  shift
  env -u DBUS_SESSION_BUS_ADDRESS HOME="$home" XDG_CONFIG_HOME="$home/config" \
    XDG_DATA_HOME="$home/data" XDG_STATE_HOME="$home/state" XDG_CACHE_HOME="$home/cache" "$@"
}

# How many lines one check leaves when it runs alone.
fresh_home "$work/alone"
run_env "$work/alone" "$cli" check --machine "$machine" --state "$work/alone" >/dev/null 2>&1 || true
per_process=$(wc -l <"$work/alone/data/Ostrivane/Ostrivane.log")
if [ "$per_process" -lt 1 ]; then
  echo "a single check wrote no log line" >&2
  exit 1
fi

line_shape='^[A-Z][a-z]{2} [0-9]{2} .+  Ostrivane\[[0-9]+\] <[A-Za-z]+>: '
failed=0
for round in $(seq 1 "$rounds"); do
  home="$work/round$round"
  fresh_home "$home"
  log="$home/data/Ostrivane/Ostrivane.log"
  padding=0
  if [ $((round % 2)) -eq 0 ]; then
    mkdir -p "$home/data/Ostrivane"
    # One long line without the line format, longer than the limit.
    head -c $((26214400 + 4096)) /dev/zero | tr '\0' x >"$log"
    echo >>"$log"
    padding=1
  fi
  go="$work/go$round"
  pids=()
  for _ in $(seq 1 "$processes"); do
    # Every process waits for the start signal, so all start within ~10 ms.
    (while [ ! -e "$go" ]; do sleep 0.01; done
      run_env "$home" "$cli" check --machine "$machine" --state "$home" >/dev/null 2>&1) &
    pids+=($!)
  done
  sleep 0.3
  touch "$go"
  for pid in "${pids[@]}"; do
    wait "$pid" || true
  done
  lines=$(($(wc -l <"$log") - padding))
  whole=$(grep -Ec "$line_shape" "$log" || true)
  writers=$(grep -Eo '  Ostrivane\[[0-9]+\]' "$log" | sort -u | wc -l)
  expected=$((per_process * processes))
  if [ "$lines" -ne "$expected" ] || [ "$whole" -ne "$expected" ] || [ "$writers" -ne "$processes" ]; then
    echo "round $round: $lines lines ($whole whole) from $writers processes, expected $expected from $processes" >&2
    failed=1
    cp "$log" "${KEEP_FAILED:-/dev/null}" 2>/dev/null || true
  fi
  rm -rf "$home" "$go"
done
if [ "$failed" -ne 0 ]; then
  exit 1
fi
echo "$rounds rounds of $processes processes: every one of $per_process lines per process kept"
