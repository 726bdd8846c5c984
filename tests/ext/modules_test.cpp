// SPDX-License-Identifier: GPL-3.0-or-later
// Shared modules loaded on first use: the network module is found in the
// private library folder, and a module or function that is not there is
// reported once, never a crash.
#include "ext/modules.h"
#include "ext/network_module.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

TEST(Modules, TheNetworkModuleLoadsOnceAndAnswers) {
    NetworkModule* network = networkModule();
    ASSERT_NE(network, nullptr);
    EXPECT_EQ(networkModule(), network);
    EXPECT_TRUE(network->resolves(QStringLiteral("localhost")));  // from /etc/hosts
    EXPECT_FALSE(network->resolves(QString()));
}

TEST(Modules, AMissingModuleOrFunctionIsAbsentAndLoggedOnce) {
    const auto count = [](const QString& text) { return loggedText().count(text); };
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(moduleEntry(QStringLiteral("ostrivane-absent"), "entry"), nullptr);
    }
    EXPECT_EQ(count(QStringLiteral("Error: could not load the module ostrivane-absent: ")), 1);

    EXPECT_EQ(moduleEntry(QLatin1String(kNetworkModuleName), "no_such_function"), nullptr);
    EXPECT_EQ(count(QStringLiteral("Error: the module ostrivane-network has no function "
                                   "no_such_function")),
              1);
    EXPECT_NE(moduleEntry(QLatin1String(kNetworkModuleName), kNetworkModuleEntry), nullptr);
}

}  // namespace
