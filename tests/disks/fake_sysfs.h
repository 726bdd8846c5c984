// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <string>

// A throw-away sysfs tree with whole disks, partitions and NVMe controllers.
class FakeSysfs {
  public:
    std::filesystem::path root() const { return dir_.path().toStdString(); }

    void write(const std::string& relative, const std::string& text) const {
        const auto path = root() / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }
    void link(const std::string& relative, const std::string& target) const {
        const auto path = root() / relative;
        std::filesystem::create_directories(path.parent_path());
        std::filesystem::create_directory_symlink(target, path);
    }

    void ataDisk(const std::string& name, const std::string& dev) const {
        write("block/" + name + "/dev", dev + "\n");
        write("block/" + name + "/device/type", "0\n");
        write("block/" + name + "/device/vendor", "ATA     \n");
        write("block/" + name + "/" + name + "1/partition", "1\n");
    }
    void partition(const std::string& name) const {
        write("block/" + name + "/dev", "8:1\n");
        write("block/" + name + "/partition", "1\n");
    }
    void nvmeController(const std::string& controller, const std::string& dev) const {
        write("devices/" + controller + "/dev", dev + "\n");
        link("class/nvme/" + controller, "../../devices/" + controller);
    }
    void nvmeNamespace(const std::string& name, const std::string& device) const {
        write("block/" + name + "/dev", "259:0\n");
        link("block/" + name + "/device", "../../devices/" + device);
    }

  private:
    QTemporaryDir dir_;
};
