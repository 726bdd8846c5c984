# SPDX-License-Identifier: GPL-3.0-or-later
"""A health history written the way the programs store it, for tests that
read it back through `ostrivane-cli history`."""
import os
import sqlite3

START = 1_700_000_000
DAY = 86400


def write_history(home, extra_rows=()):
    """A year of a drive losing a point every ten days, then a new drive of
    the same name (another serial) for a week, one record whose health is
    unknown, and the extra rows (time, name, model, serial, device, health,
    S.M.A.R.T. status)."""
    folder = os.path.join(home, "data", "Ostrivane")
    os.makedirs(folder, exist_ok=True)
    db = sqlite3.connect(os.path.join(folder, "history.sqlite3"))
    db.execute("CREATE TABLE history(time INTEGER NOT NULL, name TEXT NOT NULL,"
               " model TEXT NOT NULL, serial TEXT NOT NULL, device TEXT NOT NULL,"
               " health INTEGER NOT NULL, smart_status INTEGER NOT NULL)")
    rows = [(START + day * DAY, "Work", "M1", "OLD", "/dev/sda", 95 - day // 10, 2)
            for day in range(365)]
    rows += [(START + (365 + day) * DAY, "Work", "M2", "NEW", "/dev/sda", 100, 2)
             for day in range(7)]
    rows.append((START, "Odd", "M3", "", "/dev/sdc", 255, 0))
    rows += list(extra_rows)
    db.executemany("INSERT INTO history VALUES(?, ?, ?, ?, ?, ?, ?)", rows)
    db.commit()
    db.close()
