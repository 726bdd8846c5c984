// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/linux/volume_labels.h"

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The value of the first line "E:<key>=value"; absent when no such line.
std::optional<std::string_view> property(std::string_view record, std::string_view key) {
    std::size_t at = 0;
    while (at < record.size()) {
        std::size_t end = record.find('\n', at);
        if (end == std::string_view::npos) {
            end = record.size();
        }
        const std::string_view line = record.substr(at, end - at);
        at = end + 1;
        if (line.size() > key.size() + 3 && line.substr(0, 2) == "E:" &&
            line.substr(2, key.size()) == key && line[2 + key.size()] == '=') {
            return line.substr(3 + key.size());
        }
        if (line.size() == key.size() + 3 && line.substr(0, 2) == "E:" &&
            line.substr(2, key.size()) == key) {
            return std::string_view();
        }
    }
    return std::nullopt;
}

}  // namespace

std::string decodeUdevEscapes(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            const int high = hexValue(text[i + 2]);
            const int low = hexValue(text[i + 3]);
            if (high >= 0 && low >= 0) {
                result.push_back(char(high * 16 + low));
                i += 3;
                continue;
            }
        }
        result.push_back(text[i]);
    }
    return result;
}

UdevLabel labelFromUdevRecord(std::string_view record) {
    UdevLabel result;
    std::optional<std::string_view> value = property(record, "ID_FS_LABEL_ENC");
    const bool encoded = value.has_value();
    if (!value) {
        value = property(record, "ID_FS_LABEL");
    }
    if (!value || value->empty()) {
        return result;
    }
    std::string label = encoded ? decodeUdevEscapes(*value) : std::string(*value);
    if (label.size() > kMaxLabelBytes) {
        result.outcome = LabelParse::Rejected;
        return result;
    }
    result.outcome = LabelParse::Found;
    result.label = std::move(label);
    return result;
}
