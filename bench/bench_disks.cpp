// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/disk_enumeration.h"
#include "disks/platform/linux/linux_disk_platform.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class NullLogger final : public Logger {
  public:
    void log_message(int, const QString&) override {}
};

void write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

void link(const fs::path& at, const fs::path& target) {
    fs::create_directories(at.parent_path());
    fs::create_symlink(target.lexically_relative(at.parent_path()), at);
}

// A machine of 64 SATA disks with four partitions each, 200 of them mounted
// with labels, plus the pseudo file systems of a desktop.
void buildMachine(const fs::path& root) {
    std::string mountinfo =
        "22 1 0:21 / /proc rw - proc proc rw\n23 1 0:22 / /sys rw - sysfs sysfs rw\n";
    int mounted = 0;
    for (int disk = 0; disk < 64; ++disk) {
        const std::string name = "sd" + std::string(1, char('a' + disk / 26 % 26)) +
                                 std::string(1, char('a' + disk % 26));
        const fs::path device =
            root / ("sys/devices/pci0000:00/0000:00:17.0/ata" + std::to_string(disk + 1) + "/host" +
                    std::to_string(disk) + "/target0:0:0/0:0:0:0");
        write(device / "type", "0\n");
        write(device / "vendor", "ATA\n");
        write(device / "model", "Bench SSD\n");
        const fs::path block = device / "block" / name;
        const int major = 8 + disk / 16 * 57;  // sd majors are not contiguous; any will do
        const int minor0 = disk % 16 * 16;
        write(block / "dev", std::to_string(major) + ":" + std::to_string(minor0) + "\n");
        write(block / "removable", "0\n");
        write(block / "queue/rotational", "0\n");
        link(block / "device", device);
        link(root / "sys/block" / name, block);
        link(root / "sys/class/block" / name, block);
        for (int part = 1; part <= 4; ++part) {
            const std::string partName = name + std::to_string(part);
            const std::string numbers = std::to_string(major) + ":" + std::to_string(minor0 + part);
            write(block / partName / "dev", numbers + "\n");
            write(block / partName / "partition", std::to_string(part) + "\n");
            link(root / "sys/class/block" / partName, block / partName);
            link(root / "sys/dev/block" / numbers, block / partName);
            if (mounted < 200 && (part <= 3 || disk % 8 == 0)) {
                write(root / ("run/udev/data/b" + numbers),
                      "E:ID_FS_LABEL=Vol" + std::to_string(mounted) + "\n");
                mountinfo += std::to_string(100 + mounted) + " 1 " + numbers + " / /mnt/v" +
                             std::to_string(mounted) + " rw - ext4 /dev/" + partName + " rw\n";
                ++mounted;
            }
        }
    }
    write(root / "proc/self/mountinfo", mountinfo);
}

void BM_MountedHarddisks(benchmark::State& state) {
    QTemporaryDir folder;
    const fs::path root = folder.path().toStdString();
    buildMachine(root);
    NullLogger log;
    const auto platform = makeLinuxDiskPlatform(root, log);
    DiskEnumeration disks(*platform, log);
    std::size_t entries = 0;
    for (auto _ : state) {
        entries = std::size_t(disks.mountedHarddisks(true).size());
        benchmark::DoNotOptimize(entries);
    }
    state.counters["disks"] = double(entries);
}
BENCHMARK(BM_MountedHarddisks)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
