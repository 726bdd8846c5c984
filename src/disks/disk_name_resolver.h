// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

// Disk number -> kernel name of the whole disk ("sda", "nvme0n1"). The disk
// enumeration owns the numbering; the reader only needs this lookup.
class DiskNameResolver {
  public:
    virtual ~DiskNameResolver() = default;
    // Absent when the number names no disk.
    virtual std::optional<std::string> kernelName(int disk) = 0;
};

// One disk, number 0: for reading a drive named on the command line.
class SingleDiskResolver final : public DiskNameResolver {
  public:
    explicit SingleDiskResolver(std::string name) : name_(std::move(name)) {}
    std::optional<std::string> kernelName(int disk) override {
        return disk == 0 ? std::optional(name_) : std::nullopt;
    }

  private:
    std::string name_;
};
