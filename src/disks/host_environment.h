// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// What the host facts ask of the running process, injectable for tests.
struct InterfaceAddress {
    QString interface;
    bool up = false;
    bool ipv6 = false;
    QString address;  // standard text form; empty when the entry has none
};

struct HostEnvironment {
    QString userName;          // the user of the process
    QString installationRoot;  // the folder holding bin/ and share/
    // Runs a program and returns its standard output; absent on failure.
    std::function<std::optional<QString>(const QString&, const QStringList&)> run;
    // The network interfaces with their addresses; absent when they cannot be listed.
    std::function<std::optional<std::vector<InterfaceAddress>>()> interfaces;
};

// The environment of this process.
HostEnvironment processHostEnvironment();
