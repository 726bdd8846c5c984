#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real-kernel S.M.A.R.T. test: boots a Debian kernel under QEMU (TCG, no
# network) with two AHCI disks and two NVMe drives, reads each with
# ostrivane-cli (as root and through the helper) and smartctl, and compares.
# Usage: run.sh WORK_DIR CLI HELPER COMPARE
# Exit status 77 (skipped) when QEMU or the kernel cannot be had.
set -uo pipefail
work="$1"; cli="$2"; helper="$3"; compare="$4"
here="$(cd "$(dirname "$0")" && pwd)"
started=$SECONDS

status=0
"$here/setup.sh" "$work" "$cli" "$helper" || status=$?
if [ "$status" -ne 0 ]; then
  # CI must run this test, not skip it: a skip there hides a missing install step.
  if [ "$status" -eq 77 ] && [ -n "${OSTRIVANE_REQUIRE_INTEGRATION:-}" ]; then
    echo "integration: required but cannot run here" >&2
    exit 1
  fi
  exit "$status"
fi
cd "$work"
echo "integration: setup took $((SECONDS - started)) s"

boot=$SECONDS
timeout 240 qemu-system-x86_64 -accel tcg -m 1024 -smp 1 -nographic -no-reboot -nic none \
  -kernel vmlinuz -initrd initramfs.cpio -append "console=ttyS0 panic=-1 quiet" \
  -device ahci,id=ahci \
  -drive if=none,id=ssd,file=ssd.img,format=raw \
  -device "ide-hd,drive=ssd,bus=ahci.0,rotation_rate=1,model=Ostrivane Integration SSD 2000GB" \
  -drive if=none,id=hdd,file=hdd.img,format=raw \
  -device "ide-hd,drive=hdd,bus=ahci.1,rotation_rate=7200,model=Ostrivane HDD" \
  -drive if=none,id=nv0,file=nvme0.img,format=raw -device nvme,drive=nv0,serial=OSTNV0 \
  -drive if=none,id=nv1,file=nvme1.img,format=raw \
  -device nvme,drive=nv1,serial=OSTNV1,smart_critical_warning=4 \
  </dev/null > console.log 2>&1
echo "integration: VM ran $((SECONDS - boot)) s"
if ! grep -q '^=====DONE' console.log; then
  echo "integration: the VM did not finish; console:" >&2
  tail -50 console.log >&2
  exit 1
fi

# Splits the console into one file per section.
rm -rf out && mkdir out
awk '/^=====BEGIN /{name=$2; file="out/" name; meta[name]=$0; next}
     /^=====END /{file=""; next}
     file!=""{sub(/\r$/, ""); print > file}' console.log
grep '^=====BEGIN ' console.log | tr -d '\r' > out/sections

failed=0
printf '%-10s %-32s %8s %8s %10s\n' disk comparison ours-ms user-ms smartctl-A-ms
for disk in sda sdb nvme0n1 nvme1n1; do
  for who in root user; do
    "$compare" "out/$disk.$who" "out/$disk.smartctl" > "out/$disk.$who.compare" || failed=1
  done
  ms() { grep " $1 " out/sections | sed 's/.*centiseconds=\([0-9-]*\).*/\1/' | awk '{print $1*10}'; }
  ours_ms=$(grep -o '"milliseconds": [0-9]*' "out/$disk.root" | awk '{print $2}')
  printf '%-10s %-32s %8s %8s %10s\n' "$disk" "$(head -1 "out/$disk.root.compare")" \
    "${ours_ms:-?}/$(ms "$disk.root")" "$(ms "$disk.user")" "$(ms "$disk.smartctl-A")"
  sed 's/^/    /' "out/$disk.user.compare" | head -3
done
if ! grep -q 'nosocket.user stderr.*systemctl enable --now ostrivane-smart.socket' console.log; then
  echo "integration: no advice printed when the helper socket is missing" >&2
  failed=1
fi
grep -q '"smartStatus": "unknown"' out/nosocket.user || { echo "integration: nosocket status not unknown" >&2; failed=1; }
# CHECK POWER MODE is answered (QEMU's disks are always active), so the
# check below reads the drives rather than keeping them as sleeping.
for who in root user; do
  grep -q '^Power mode:  active' "out/power.$who" ||
    { echo "integration: power.$who has no active power mode" >&2; failed=1; }
done
for who in root user; do
  python3 -c 'import json,sys; d=json.load(open(sys.argv[1]))
sys.exit(any(x.get("standbySince") for x in d["drives"]))' "out/check.$who" ||
    { echo "integration: check.$who kept a drive as sleeping" >&2; failed=1; }
done
# The whole check: three SSDs (the spinning disk is dropped), the NVMe drive
# with a critical warning failing, as root and through the helper alike.
# QEMU's NVMe drives report 0 % available spare, which is a health of 0.
for who in root user; do
  grep -q "check.$who status=2 " out/sections ||
    { echo "integration: check.$who did not exit 2" >&2; failed=1; }
  got=$(python3 -c 'import json,sys; d=json.load(open(sys.argv[1]))
print(" ".join("%s=%s" % (x["device"], x["health"]) for x in d["drives"]))' "out/check.$who")
  want="/dev/sda=100 /dev/nvme0n1=0 /dev/nvme1n1=0"
  [ "$got" = "$want" ] || { echo "integration: check.$who drives '$got', want '$want'" >&2; failed=1; }
done
cs() { grep " $1 " out/sections | sed 's/.*centiseconds=\([0-9-]*\).*/\1/'; }
smart_sum=0; smartctl_sum=0
for disk in sda sdb nvme0n1 nvme1n1; do
  smart_sum=$((smart_sum + $(cs "$disk.root")))
  smartctl_sum=$((smartctl_sum + $(cs "$disk.smartctl-A")))
done
echo "integration: check as root $(( $(cs check.root) * 10 )) ms, as user $(( $(cs check.user) * 10 )) ms;" \
  "the four 'smart' reads $((smart_sum * 10)) ms; 'smartctl -A' per drive $((smartctl_sum * 10)) ms"
# An unprivileged check goes through the helper: it must not cost much more
# than reading the drives directly. Three warm rounds each; `su` is the
# test's own cost and is shown apart.
sum_cs() { grep " $1\.[0-9] " out/sections | sed 's/.*centiseconds=\([0-9-]*\).*/\1/' | awk '{s+=$1} END{print s+0}'; }
root_cs=$(sum_cs again.root); user_cs=$(sum_cs again.user); su_cs=$(sum_cs su)
echo "integration: check.user started $(grep -c 'Spawned' out/check.user.helpers) helper(s)"
if [ "$root_cs" -gt 0 ]; then
  awk -v u="$user_cs" -v r="$root_cs" -v s="$su_cs" 'BEGIN{
    printf "integration: check x3 as root %d ms, as user %d ms (su alone %d ms): user/root = %.2fx, without su %.2fx (target <= 1.3x)\n",
      r*10, u*10, s*10, u/r, (u-s)/r }'
fi
echo "integration: total $((SECONDS - started)) s"
exit $failed
