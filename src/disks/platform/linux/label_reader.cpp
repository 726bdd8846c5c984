// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/label_reader.h"

#include "disks/platform/linux/platform_text.h"
#include "disks/platform/linux/volume_labels.h"

namespace fs = std::filesystem;
using namespace platform_text;

namespace {

constexpr std::size_t kUdevRecordLimit = 64 * 1024;

}  // namespace

LabelReader::LabelReader(const RootFolder& root, Logger& log)
    : root_(root), log_(log), udevData_(root_.at("/run/udev/data").native() + '/') {}

std::optional<QString> LabelReader::labelOf(const std::string& device, const std::string& numbers,
                                            Pass& pass) const {
    std::map<std::string, std::string>& byLabel = pass.byLabel;
    bool& byLabelRead = pass.byLabelRead;
    if (!numbers.empty()) {
        // udev keeps its database in /run, a file system in memory.
        const auto record =
            RootFolder::readRegularFile(joined({udevData_, "b", numbers}), kUdevRecordLimit);
        if (record) {
            const UdevLabel label = labelFromUdevRecord(record->bytes);
            if (label.outcome == LabelParse::Found) {
                return QString::fromUtf8(label.label.data(), qsizetype(label.label.size()));
            }
            if (label.outcome == LabelParse::Rejected || record->truncated) {
                error(QStringLiteral("Error: the label of %1 in udev's database is too long")
                          .arg(qs(device)));
                return std::nullopt;
            }
        }
    }
    if (!byLabelRead) {
        byLabelRead = true;
        const fs::path folder = root_.at("/dev/disk/by-label");
        for (const std::string& link : RootFolder::names(folder)) {
            if (const auto target = root_.resolve(folder / link)) {
                byLabel.emplace(target->filename().string(), decodeUdevEscapes(link));
            }
        }
    }
    const auto found = byLabel.find(device);
    if (found == byLabel.end() || found->second.size() > kMaxLabelBytes) {
        return std::nullopt;
    }
    return QString::fromUtf8(found->second.data(), qsizetype(found->second.size()));
}
