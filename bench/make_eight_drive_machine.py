#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes a recorded machine of eight solid-state drives (four SATA, four
NVMe, one mounted volume each) for the whole-process measurements of
`ostrivane-cli check` and `monitor`. Usage: make_eight_drive_machine.py DIR"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "fixtures", "machines"))
import generate  # noqa: E402


def main(folder):
    m = generate.Machine(folder, "# Eight SSDs, for measurements\n")
    for i in range(4):
        name = "sd" + "abcd"[i]
        generate.Machine.sata(m, i + 1, i, name, 8, 16 * i, "Samsung SSD 860 EVO 500GB",
                              f"S3Z1NB0K00000{i}X", "RVT04B6Q", parts=(1,))
        m.mount(f"8:{16 * i + 1}", "/" if i == 0 else f"/data{i}", "ext4", f"/dev/{name}1")
        m.label(f"8:{16 * i + 1}", f"Volume {i}")
        m.smart_ata(name, generate.SSD_ATTRIBUTES)
    for i in range(4):
        name = m.nvme(f"0000:00:1c.{i}/0000:0{i + 4}:00.0", f"nvme{i}", "WD_BLACK SN850X 2000GB",
                      f"23123A80000{i}", "620361WD", 8 * i, parts=(1,), dev_char=f"245:{i}")
        m.mount(f"259:{8 * i + 1}", f"/fast{i}", "ext4", f"/dev/{name}p1")
        m.label(f"259:{8 * i + 1}", f"Fast {i}")
        m.smart_nvme(name, generate.nvme_log(used=10 + i))
    m.write("/sys/class/dmi/id/product_name", "Bench-8\n")
    m.net("enp5s0", "d8:bb:c1:0a:2f:11")
    m.finish("bench")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
