// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/linux_host_facts.h"

#include "line_logger.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

fs::path machine(const char* name) {
    return fs::path(OSTRIVANE_TEST_DATA_DIR) / "machines" / name;
}

LinuxHostFacts::Environment user(const char* name) {
    LinuxHostFacts::Environment environment;
    environment.userName = QString::fromLatin1(name);
    return environment;
}

TEST(HostFacts, FactsOfRecordedMachines) {
    LineLogger log;
    LinuxHostFacts laptop(machine("laptop-nvme-luks-lvm"), user("alice"), log);
    EXPECT_EQ(laptop.macAddress(), QStringLiteral("00:1b:63:84:45:e6"));
    EXPECT_TRUE(laptop.isOnline());
    EXPECT_EQ(laptop.ipName(), QStringLiteral("thinkpad.local"));
    EXPECT_EQ(laptop.machineType(), QStringLiteral("20XWCTO1WW"));
    EXPECT_TRUE(laptop.runsOnBattery());
    EXPECT_TRUE(laptop.isUserAdmin());

    LinuxHostFacts pi(machine("dev-root"), user("alice"), log);
    EXPECT_EQ(pi.machineType(), QStringLiteral("Raspberry Pi 4 Model B Rev 1.4"));
    EXPECT_FALSE(pi.runsOnBattery());

    // wheel lists bob; alice only has her own primary group.
    LinuxHostFacts desktop(machine("desktop-sata-md-usb"), user("alice"), log);
    EXPECT_FALSE(desktop.isUserAdmin());
    EXPECT_TRUE(LinuxHostFacts(machine("desktop-sata-md-usb"), user("bob"), log).isUserAdmin());
    EXPECT_FALSE(desktop.isRunningTranslocated());
    EXPECT_FALSE(desktop.appStoreCountryCode());
    EXPECT_FALSE(desktop.growlInstallURL());
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST(HostFacts, MissingSourcesGiveFallbacksAndLogLines) {
    QTemporaryDir empty;
    LineLogger log;
    LinuxHostFacts host(empty.path().toStdString(), user("alice"), log);
    EXPECT_EQ(host.macAddress(), QString());
    EXPECT_EQ(host.ipName(), QString());
    EXPECT_EQ(host.machineType(), QString());
    EXPECT_FALSE(host.isOnline());
    EXPECT_FALSE(host.isUserAdmin());
    EXPECT_TRUE(host.runningProcesses().isEmpty());
    EXPECT_EQ(log.lines, (QStringList{QStringLiteral("Error:    GetMACAddress returned 0x00000005"),
                                      QStringLiteral("Error: SCDynamicStoreCreate == NULL, 592")}));
}

// Where /proc shows only processes (a hardened service), the process's own
// route table still tells whether the machine is online.
TEST(HostFacts, OnlineFromTheProcessOwnRouteTable) {
    QTemporaryDir root;
    const fs::path base = root.path().toStdString();
    fs::create_directories(base / "proc/self/net");
    fs::create_directories(base / "sys/class/net/eth0");
    std::ofstream(base / "proc/self/net/route")
        << "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
           "eth0\t00000000\t0102A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n";
    std::ofstream(base / "sys/class/net/eth0/flags") << "0x1003\n";
    LineLogger log;
    EXPECT_TRUE(LinuxHostFacts(base, user("alice"), log).isOnline());
}

TEST(HostFacts, HardwareAddressesUseTwoLowerCaseDigitsPerByte) {
    QTemporaryDir root;
    const fs::path net = fs::path(root.path().toStdString()) / "sys/class/net/eth0";
    fs::create_directories(net);
    std::ofstream(net / "type") << "1\n";
    std::ofstream(net / "address") << "0:1B:63:84:45:E6\n";
    LineLogger log;
    EXPECT_EQ(LinuxHostFacts(root.path().toStdString(), user("a"), log).macAddress(),
              QStringLiteral("00:1b:63:84:45:e6"));
}

TEST(HostFacts, AddressPicking) {
    using A = LinuxHostFacts::InterfaceAddress;
    const std::vector<A> loopbackOnly{
        {QStringLiteral("lo"), true, false, QStringLiteral("127.0.0.1")},
        {QStringLiteral("lo"), true, true, QStringLiteral("::1")}};
    EXPECT_EQ(LinuxHostFacts::pickAddress(loopbackOnly, false), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(LinuxHostFacts::pickAddress(loopbackOnly, true), QStringLiteral("::1"));
    const std::vector<A> list{
        {QStringLiteral("eth0"), false, false, QStringLiteral("10.0.0.9")},
        {QStringLiteral("wlan0"), true, false, QString()},
        {QStringLiteral("wlan0"), true, true, QStringLiteral("fe80::1")},
        {QStringLiteral("wlan0"), true, false, QStringLiteral("192.168.2.7")}};
    EXPECT_EQ(LinuxHostFacts::pickAddress(list, false), QStringLiteral("192.168.2.7"));
    EXPECT_EQ(LinuxHostFacts::pickAddress(list, true), QStringLiteral("fe80::1"));

    // An interface list that cannot be read gives the fallback, never an exit.
    LineLogger log;
    LinuxHostFacts::Environment failing = user("a");
    failing.interfaces = [] { return std::nullopt; };
    LinuxHostFacts host("/nonexistent", failing, log);
    EXPECT_EQ(host.ipAddress(false), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(log.lines.size(), 1);
}

TEST(HostFacts, OtherUsersAtTheConsole) {
    LineLogger log;
    LinuxHostFacts::Environment environment = user("alice");
    QString who = QStringLiteral(
        "alice    tty2         2026-12-07 08:01 (tty2)\n"
        "alice    pts/0        2026-12-07 08:05 (:0)\n");
    environment.run = [&who](const QString& program, const QStringList&) -> std::optional<QString> {
        if (program.endsWith(QLatin1String("whoami"))) {
            return QStringLiteral("alice\n");
        }
        return who;
    };
    LinuxHostFacts host("/nonexistent", environment, log);
    EXPECT_TRUE(host.otherLoggedInUsers().isEmpty());
    who += QStringLiteral(
        "bob      seat0        2026-12-07 07:00\n"
        "carol    pts/3        2026-12-07 07:00 (remote)\n");
    EXPECT_EQ(host.otherLoggedInUsers(), QStringList{QStringLiteral("bob")});
}

}  // namespace
