// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/evaluation_services.h"
#include "disks/platform/linux/root_folder.h"

#include <QString>

#include <map>
#include <optional>
#include <string>

// File-system labels: udev's database first, else /dev/disk/by-label.
class LabelReader {
  public:
    LabelReader(const RootFolder& root, Logger& log);

    // What one pass over many devices remembers: /dev/disk/by-label is read
    // once, and only when udev's database does not answer.
    struct Pass {
        std::map<std::string, std::string> byLabel;
        bool byLabelRead = false;
    };
    // The label of a device with numbers "MAJ:MIN" (may be empty); absent
    // when it has none, or one too long to be real (logged).
    std::optional<QString> labelOf(const std::string& device, const std::string& numbers,
                                   Pass& pass) const;

  private:
    void error(const QString& text) const { log_.log_message(3, text); }

    const RootFolder& root_;
    Logger& log_;
    std::string udevData_;  // ending in a slash
};
