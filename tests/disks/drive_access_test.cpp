// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/drive_access.h"
#include "disks/platform/fixture/fixture_smart_access.h"
#include "disks/platform/helper_client.h"
#include "line_logger.h"

#include <gtest/gtest.h>

namespace {

// Every command and the monitor choose through this one rule.
TEST(DriveAccess, AnExplicitSocketWinsThenARecordingThenRoot) {
    const DriveAccessOptions none;
    const DriveAccessOptions socket{{}, std::string("/tmp/s.sock")};
    const DriveAccessOptions machine{QStringLiteral("/m"), std::nullopt};
    const DriveAccessOptions both{QStringLiteral("/m"), std::string("/tmp/s.sock")};
    EXPECT_EQ(chooseDriveAccess(none, true), DriveAccessKind::Kernel);
    EXPECT_EQ(chooseDriveAccess(none, false), DriveAccessKind::Helper);
    EXPECT_EQ(chooseDriveAccess(socket, true), DriveAccessKind::Helper);
    EXPECT_EQ(chooseDriveAccess(machine, true), DriveAccessKind::Recorded);
    EXPECT_EQ(chooseDriveAccess(machine, false), DriveAccessKind::Recorded);
    EXPECT_EQ(chooseDriveAccess(both, true), DriveAccessKind::Helper);
    EXPECT_EQ(machineRoot(none), std::filesystem::path("/"));
    EXPECT_EQ(machineRoot(machine), std::filesystem::path("/m"));

    LineLogger log;
    EXPECT_NE(dynamic_cast<HelperClient*>(makeSmartAccess(both, true, log).get()), nullptr);
    EXPECT_NE(dynamic_cast<FixtureSmartAccess*>(makeSmartAccess(machine, true, log).get()),
              nullptr);
}

}  // namespace
