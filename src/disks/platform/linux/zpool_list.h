// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The leaf devices of each pool in the output of `zpool list -vHP`: pool
// lines start in the first column, vdev lines with a tab; with -P a leaf
// device is a full path. Lines of another shape are ignored.
std::map<std::string, std::vector<std::string>> parseZpoolList(std::string_view text);

// Where the `zpool list -vHP` answer comes from: the tool on this machine, or
// a recorded answer in a fixture machine.
class ZpoolSource {
  public:
    virtual ~ZpoolSource() = default;
    // Absent when there is no answer (no tool, no pools, the tool failed).
    virtual std::optional<std::string> listVerbose() = 0;
};
