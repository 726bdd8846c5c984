// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/launch_sequence.h"

#include <QHash>
#include <QStringList>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

// Every call of the start-up, in order, with the settings it reads in memory.
class RecordingLaunch final : public LaunchServices {
  public:
    qint64 defaultInt(const QString& key) override { return values.value(key); }
    void setDefaultInt(const QString& key, qint64 value) override {
        values.insert(key, value);
        add(QStringLiteral("set %1=%2").arg(key).arg(value));
    }
    void synchronizeSettings() override { add(QStringLiteral("synchronize")); }
    void installFallbackDefaults() override { add(QStringLiteral("fallbacks")); }
    void createSupportLibrary() override { add(QStringLiteral("WendleLib")); }
    void openLogFile(const QString& name, qint64 size, int level) override {
        add(QStringLiteral("log %1 %2 %3").arg(name).arg(size).arg(level));
    }
    void createController() override { add(QStringLiteral("controller")); }
    void sendLaunchPing() override { add(QStringLiteral("ping")); }
    void setVersionTexts() override { add(QStringLiteral("version")); }
    void createVisibilityManager() override { add(QStringLiteral("visibility")); }
    void createLoginItemManager() override { add(QStringLiteral("loginItems")); }
    void checkIntervalChangedByController() override { add(QStringLiteral("check")); }
    void changeIconset() override { add(QStringLiteral("iconset")); }
    void showAssistant() override { add(QStringLiteral("assistant")); }
    void closeAssistant() override { add(QStringLiteral("closeAssistant")); }
    void openMainWindowAfter(int ms) override { add(QStringLiteral("mainWindow %1").arg(ms)); }
    void setLaunchesAtLogin(bool launches) override {
        add(QStringLiteral("launchesAtLogin %1").arg(launches));
    }
    void setVisibilitySetting(int setting) override {
        add(QStringLiteral("visibility=%1").arg(setting));
    }

    void add(const QString& call) { calls.push_back(call.toStdString()); }

    QHash<QString, qint64> values{{QStringLiteral("AllowSSDSubmission"), 1}};
    std::vector<std::string> calls;
};

using ::testing::ElementsAre;

TEST(LaunchSequence, FirstStartOpensTheAssistantAfterTheFirstCheckAndIcons) {
    RecordingLaunch services;
    LaunchSequence sequence(services);
    sequence.willFinishLaunching();
    sequence.didFinishLaunching();
    EXPECT_THAT(
        services.calls,
        ElementsAre("fallbacks", "WendleLib", "log Ostrivane.log 26214400 5", "controller", "ping",
                    "version", "visibility", "loginItems", "check", "iconset", "assistant"));
}

TEST(LaunchSequence, PingOnlyWhenSubmissionIsExactlyOne) {
    for (const qint64 allow : {0, 2, -1}) {
        RecordingLaunch services;
        services.values[QStringLiteral("AllowSSDSubmission")] = allow;
        LaunchSequence(services).willFinishLaunching();
        EXPECT_THAT(services.calls, ::testing::Not(::testing::Contains("ping"))) << allow;
    }
}

TEST(LaunchSequence, MainWindowOpensByItselfOnlyOnceAfterTheAssistant) {
    RecordingLaunch services;
    services.values[QStringLiteral("WelcomeAssistantFinished")] = 1;
    LaunchSequence sequence(services);
    sequence.didFinishLaunching();
    EXPECT_THAT(services.calls, ElementsAre("version", "visibility", "loginItems", "check",
                                            "iconset", "mainWindow 500", "set WelcomeShown=1"));

    services.calls.clear();
    sequence.didFinishLaunching();
    EXPECT_THAT(services.calls,
                ElementsAre("version", "visibility", "loginItems", "check", "iconset"));
}

TEST(LaunchSequence, FinishSetupAppliesEachChoiceThenStartsAgain) {
    struct Case {
        qint64 autostart;
        qint64 hidedock;
        std::vector<std::string> choices;
    };
    const Case cases[] = {
        {0, 0, {}},
        {1, 0, {"launchesAtLogin 1"}},
        {0, 1, {"visibility=2"}},
        {5, 1, {"launchesAtLogin 1", "visibility=2"}},
    };
    for (const Case& c : cases) {
        RecordingLaunch services;
        services.values[QStringLiteral("AssistantAutostart")] = c.autostart;
        services.values[QStringLiteral("AssistantHidedock")] = c.hidedock;
        LaunchSequence(services).finishSetup();
        std::vector<std::string> expected{"closeAssistant"};
        expected.insert(expected.end(), c.choices.begin(), c.choices.end());
        for (const char* call :
             {"set WelcomeAssistantFinished=1", "synchronize", "version", "visibility",
              "loginItems", "check", "iconset", "mainWindow 500", "set WelcomeShown=1"}) {
            expected.emplace_back(call);
        }
        EXPECT_EQ(services.calls, expected) << c.autostart << " " << c.hidedock;
    }
}

}  // namespace
