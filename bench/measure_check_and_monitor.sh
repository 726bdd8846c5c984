#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Whole-process figures of the check cycle on a recorded machine of eight SSDs:
#   1. `ostrivane-cli check` wall time (median of RUNS runs);
#   2. the monitor's resident memory (RSS and PSS) after its first check, with
#      no network request made (AllowSSDSubmission 0, e-mail off);
#   3. the monitor's wakeups over IDLE idle seconds at a 60-minute interval,
#      counted as voluntary context switches of all its threads.
# Usage: bench/measure_check_and_monitor.sh BUILD_DIR [RUNS] [IDLE]
set -eu
build=${1:?usage: $0 BUILD_DIR [RUNS] [IDLE]}
runs=${2:-20}
idle=${3:-60}
cli=$(cd "$build" && pwd)/bin/ostrivane-cli
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d)
monitor_pid=
cleanup() {
    if [ -n "$monitor_pid" ]; then kill "$monitor_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data" \
    XDG_STATE_HOME="$work/home/state" XDG_CACHE_HOME="$work/home/cache"
unset DBUS_SESSION_BUS_ADDRESS
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
python3 "$here/make_eight_drive_machine.py" "$work/machine"
"$cli" defaults write AllowSSDSubmission 0 >/dev/null
"$cli" defaults write NotificationUseEmail 0 >/dev/null
"$cli" defaults write SSDCheckInterval 60 >/dev/null

# 1. check: one warm-up run, then the median.
"$cli" check --machine "$work/machine" >/dev/null
: >"$work/times"
i=0
while [ "$i" -lt "$runs" ]; do
    start=$(date +%s%N)
    "$cli" check --machine "$work/machine" >/dev/null
    end=$(date +%s%N)
    echo $(((end - start) / 1000)) >>"$work/times"
    i=$((i + 1))
done
sort -n "$work/times" >"$work/sorted"
median=$(sed -n "$(((runs + 1) / 2))p" "$work/sorted")
min=$(head -n 1 "$work/sorted")
echo "check, 8 drives: median $((median / 1000)).$(((median % 1000) / 100)) ms, min $((min / 1000)).$(((min % 1000) / 100)) ms over $runs runs"

# 2. monitor memory after the first check.
log="$XDG_DATA_HOME/Ostrivane/Ostrivane.log"
before=$(grep -c 'monitor started' "$log" 2>/dev/null || true)
"$cli" monitor --machine "$work/machine" >/dev/null 2>&1 &
monitor_pid=$!
tries=0
until [ "$(grep -c 'Fast 3' "$log" 2>/dev/null || echo 0)" -gt "$((runs + 1))" ] &&
    [ "$(grep -c 'monitor started' "$log")" -gt "${before:-0}" ]; do
    tries=$((tries + 1))
    [ "$tries" -lt 200 ] || { echo "monitor did not check" >&2; exit 1; }
    sleep 0.05
done
sleep 1
rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$monitor_pid/status")
pss=$(awk '/^Pss:/ {print $2}' "/proc/$monitor_pid/smaps_rollup")
echo "monitor after the first check: RSS ${rss} kB, PSS ${pss} kB"
echo "  network sockets: $(ls -l /proc/$monitor_pid/fd | grep -c socket || true) open (any kind)"

# 3. wakeups while idle.
switches() {
    cat /proc/"$monitor_pid"/task/*/status | awk '/^voluntary_ctxt_switches:/ {s += $2} END {print s}'
}
first=$(switches)
sleep "$idle"
last=$(switches)
echo "monitor idle for ${idle} s: $((last - first)) voluntary context switches ($(ls /proc/$monitor_pid/task | wc -l) threads)"
kill -TERM "$monitor_pid"
wait "$monitor_pid" && echo "monitor ended cleanly on SIGTERM"
monitor_pid=
