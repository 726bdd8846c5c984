// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/linux_host_facts.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <pwd.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>

namespace {

constexpr std::size_t kSmallFileLimit = 64 * 1024;
constexpr std::size_t kRouteLimit = 1024 * 1024;
constexpr int kMachineTypeLimit = 255;  // the platform's 256-byte buffer less its terminator
constexpr int kCommandTimeoutMs = 10000;
constexpr unsigned kRouteUp = 0x1;
constexpr unsigned kRouteGateway = 0x2;
constexpr int kMacAddressMissing = 5;

QString text(const std::optional<std::string>& value) {
    return value ? QString::fromUtf8(value->data(), qsizetype(value->size())) : QString();
}

std::optional<std::vector<LinuxHostFacts::InterfaceAddress>> systemInterfaces() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return std::nullopt;
    }
    std::vector<LinuxHostFacts::InterfaceAddress> result;
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        LinuxHostFacts::InterfaceAddress item;
        item.interface = QString::fromLocal8Bit(entry->ifa_name ? entry->ifa_name : "");
        item.up = (entry->ifa_flags & IFF_UP) != 0;
        if (entry->ifa_addr) {
            std::array<char, INET6_ADDRSTRLEN> buffer{};
            const int family = entry->ifa_addr->sa_family;
            const void* address = nullptr;
            if (family == AF_INET) {
                address = &reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr;
            } else if (family == AF_INET6) {
                address = &reinterpret_cast<const sockaddr_in6*>(entry->ifa_addr)->sin6_addr;
                item.ipv6 = true;
            }
            if (address && ::inet_ntop(family, address, buffer.data(), buffer.size())) {
                item.address = QString::fromLatin1(buffer.data());
            }
        }
        result.push_back(item);
    }
    ::freeifaddrs(list);
    return result;
}

std::optional<QString> runProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(kCommandTimeoutMs) ||
        process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        process.kill();
        process.waitForFinished(1000);
        return std::nullopt;
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// Six bytes as "00:1b:63:84:45:e6"; absent when the text is not such an address.
std::optional<QString> normalisedMac(const QString& value) {
    const QStringList parts = value.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 6) {
        return std::nullopt;
    }
    QStringList bytes;
    for (const QString& part : parts) {
        bool ok = false;
        const uint byte = part.toUInt(&ok, 16);
        if (!ok || part.size() > 2 || byte > 0xFF) {
            return std::nullopt;
        }
        bytes << QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0'));
    }
    return bytes.join(QLatin1Char(':'));
}

}  // namespace

HostEnvironment processHostEnvironment() {
    HostEnvironment environment;
    if (const passwd* user = ::getpwuid(::geteuid())) {
        environment.userName = QString::fromLocal8Bit(user->pw_name);
    }
    environment.installationRoot =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    environment.run = runProgram;
    environment.interfaces = systemInterfaces;
    return environment;
}

LinuxHostFacts::LinuxHostFacts(std::filesystem::path root, Environment environment, Logger& log)
    : root_(std::move(root)), environment_(std::move(environment)), log_(log) {}

std::optional<QString> LinuxHostFacts::defaultRouteInterface() {
    // A sandboxed service may see only processes in /proc (ProcSubset=pid),
    // which hides /proc/net; its own view of its network is the same table.
    auto table = RootFolder::read(root_.at("/proc/self/net/route"), kRouteLimit);
    if (!table) {
        table = RootFolder::read(root_.at("/proc/net/route"), kRouteLimit);
    }
    if (!table) {
        return std::nullopt;
    }
    const QStringList lines = QString::fromLatin1(table->bytes).split(QLatin1Char('\n'));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList f =
            lines[i].split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (f.size() < 8) {
            continue;
        }
        bool ok = false;
        const uint flags = f[3].toUInt(&ok, 16);
        if (ok && f[1] == QLatin1String("00000000") && f[7] == QLatin1String("00000000") &&
            (flags & kRouteUp) && (flags & kRouteGateway)) {
            return f[0];
        }
    }
    return std::nullopt;
}

bool LinuxHostFacts::interfaceUp(const QString& interface) {
    const auto flags =
        RootFolder::readLine(root_.at("/sys/class/net") / interface.toStdString() / "flags");
    bool ok = false;
    const uint value = text(flags).toUInt(&ok, 16);
    return ok && (value & IFF_UP);
}

QString LinuxHostFacts::macAddress() {
    std::optional<QString> interface = defaultRouteInterface();
    if (!interface) {
        // No default route: the first Ethernet interface that is not a loopback one.
        for (const std::string& name : RootFolder::names(root_.at("/sys/class/net"))) {
            if (name != "lo" &&
                RootFolder::readLine(root_.at("/sys/class/net") / name / "type") == "1") {
                interface = QString::fromStdString(name);
                break;
            }
        }
    }
    if (interface && !interface->contains(QLatin1Char('/')) && !interface->startsWith('.')) {
        const auto address = normalisedMac(text(RootFolder::readLine(
            root_.at("/sys/class/net") / interface->toStdString() / "address")));
        if (address) {
            return *address;
        }
    }
    error(QStringLiteral("Error:    GetMACAddress returned 0x%1")
              .arg(kMacAddressMissing, 8, 16, QLatin1Char('0')));
    return {};
}

QString LinuxHostFacts::pickAddress(const std::vector<InterfaceAddress>& list, bool ipv6) {
    for (const InterfaceAddress& entry : list) {
        if (entry.address.isEmpty() || !entry.up || entry.ipv6 != ipv6 ||
            entry.interface.startsWith(QLatin1String("lo"))) {
            continue;
        }
        return entry.address;
    }
    return ipv6 ? QStringLiteral("::1") : QStringLiteral("127.0.0.1");
}

QString LinuxHostFacts::ipAddress(bool ipv6) {
    const auto list = environment_.interfaces ? environment_.interfaces() : std::nullopt;
    if (!list) {
        // Ending the process over an unlistable interface table would take the
        // monitor down for a fact it only reports; the loopback address is the fallback.
        error(QStringLiteral("Error: getifaddrs failed; using the loopback address"));
        return pickAddress({}, ipv6);
    }
    return pickAddress(*list, ipv6);
}

bool LinuxHostFacts::isOnline() {
    const std::optional<QString> interface = defaultRouteInterface();
    return interface && interfaceUp(*interface);
}

QString LinuxHostFacts::ipName() {
    const auto name = RootFolder::readLine(root_.at("/proc/sys/kernel/hostname"));
    if (!name) {
        error(QStringLiteral("Error: SCDynamicStoreCreate == NULL, %1").arg(592));
        return {};
    }
    if (name->empty()) {
        error(QStringLiteral("Error: SCDynamicStoreCopyLocalHostName == NULL, %1").arg(582));
        return {};
    }
    return QStringLiteral("%1.local").arg(text(name));
}

QString LinuxHostFacts::machineType() {
    for (const char* path : {"/sys/class/dmi/id/product_name", "/sys/class/dmi/id/product_family",
                             "/proc/device-tree/model"}) {
        const auto content = RootFolder::read(root_.at(path), kSmallFileLimit);
        if (!content) {
            continue;
        }
        // The device-tree model ends in a NUL byte.
        std::string value = content->bytes.substr(0, content->bytes.find('\0'));
        QString type = QString::fromUtf8(value.data(), qsizetype(value.size())).trimmed();
        type.truncate(kMachineTypeLimit);
        if (!type.isEmpty()) {
            return type;
        }
    }
    return {};
}

bool LinuxHostFacts::isUserAdmin() {
    if (environment_.userName.isEmpty()) {
        return false;
    }
    const auto groups = RootFolder::read(root_.at("/etc/group"), kRouteLimit);
    if (!groups) {
        return false;
    }
    // Listed members only: membership through the primary group does not count.
    for (const QString& line :
         QString::fromUtf8(groups->bytes.data(), qsizetype(groups->bytes.size()))
             .split(QLatin1Char('\n'))) {
        const QStringList f = line.split(QLatin1Char(':'));
        if (f.size() != 4 || !(f[0] == QLatin1String("sudo") || f[0] == QLatin1String("wheel") ||
                               f[0] == QLatin1String("admin"))) {
            continue;
        }
        if (f[3].trimmed().split(QLatin1Char(',')).contains(environment_.userName)) {
            return true;
        }
    }
    return false;
}

QStringList LinuxHostFacts::otherLoggedInUsers() {
    if (!environment_.run) {
        return {};
    }
    const QString me =
        environment_.run(QStringLiteral("/usr/bin/whoami"), {}).value_or(QString()).trimmed();
    const auto who = environment_.run(QStringLiteral("/usr/bin/who"), {});
    if (!who) {
        return {};
    }
    // Linux has no "console" line: local seats show as a virtual terminal or a display.
    static const QRegularExpression console(
        QStringLiteral("^\\S+\\s+(console|seat\\d+|tty\\d+|:\\d+)(\\s|$)"));
    QStringList users;
    for (const QString& line : who->split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (!console.match(line).hasMatch() || (!me.isEmpty() && line.contains(me))) {
            continue;
        }
        users << line.section(QLatin1Char(' '), 0, 0);
    }
    return users;
}

QStringList LinuxHostFacts::runningProcesses() {
    std::vector<long> pids;
    for (const std::string& name : RootFolder::names(root_.at("/proc"))) {
        long pid = 0;
        const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), pid);
        if (ec == std::errc() && end == name.data() + name.size() && pid != 0) {
            pids.push_back(pid);
        }
    }
    std::sort(pids.begin(), pids.end());
    QStringList paths;
    for (const long pid : pids) {
        std::error_code ec;
        const auto target =
            std::filesystem::read_symlink(root_.at("/proc") / std::to_string(pid) / "exe", ec);
        paths << (ec ? QString() : QString::fromStdString(target.string()));
    }
    return paths;
}

bool LinuxHostFacts::runsOnBattery() {
    const auto supplies = root_.at("/sys/class/power_supply");
    for (const std::string& supply : RootFolder::names(supplies)) {
        if (RootFolder::readLine(supplies / supply / "type") == "Battery" &&
            RootFolder::readLine(supplies / supply / "status") == "Discharging") {
            return true;
        }
    }
    return false;
}

bool LinuxHostFacts::isRunningReadonly() {
    struct statvfs info {};
    const QByteArray path = environment_.installationRoot.toLocal8Bit();
    return !path.isEmpty() && ::statvfs(path.constData(), &info) == 0 && (info.f_flag & ST_RDONLY);
}
