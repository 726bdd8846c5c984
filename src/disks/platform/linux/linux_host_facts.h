// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"
#include "disks/host_environment.h"
#include "disks/platform/linux/root_folder.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// Small facts about the machine, the user and the running program, read from
// procfs, sysfs and /etc below a root folder. Every question returns its
// fallback rather than failing.
class LinuxHostFacts {
  public:
    using InterfaceAddress = ::InterfaceAddress;
    using Environment = HostEnvironment;
    static Environment processEnvironment() { return processHostEnvironment(); }

    LinuxHostFacts(std::filesystem::path root, Environment environment, Logger& log);

    QString macAddress();
    QString ipAddress(bool ipv6);
    bool isOnline();
    QString ipName();
    QString machineType();
    bool isUserAdmin();
    QStringList otherLoggedInUsers();
    QStringList runningProcesses();
    bool runsOnBattery();
    bool isRunningReadonly();
    bool isRunningTranslocated() { return false; }  // no such thing on Linux
    std::optional<QString> appStoreCountryCode() { return std::nullopt; }
    std::optional<QString> growlInstallURL() { return std::nullopt; }

    // The first address of the wanted family on an interface that is up and
    // not a loopback one, else the loopback address.
    static QString pickAddress(const std::vector<InterfaceAddress>& list, bool ipv6);

  private:
    std::optional<QString> defaultRouteInterface();
    bool interfaceUp(const QString& interface);
    void error(const QString& text) { log_.log_message(3, text); }

    RootFolder root_;
    Environment environment_;
    Logger& log_;
};
