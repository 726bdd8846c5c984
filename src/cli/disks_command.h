// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QTextStream;

// `ostrivane-cli disks`: the mounted-disk list in the order a check walks it,
// with each disk's description. args excludes the program and command names.
int runDisks(const QStringList& args, QTextStream& out, QTextStream& err);

// `ostrivane-cli snapshot-machine DIR`: records the files the disk
// enumeration reads into a new folder that `disks --machine` can read.
int runSnapshotMachine(const QStringList& args, QTextStream& out, QTextStream& err);
