// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/memory_settings.h"
#include "core/ssd.h"
#include "core/static_disk_layer.h"

#include <gmock/gmock.h>

#include <QStringList>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

MATCHER_P(QStartsWith, prefix, "starts with " + QString(prefix).toStdString()) {
    return arg.startsWith(prefix);
}

MATCHER_P(QContains, part, "contains " + QString(part).toStdString()) {
    return arg.contains(part);
}

class MockReports : public ServerReports {
  public:
    MOCK_METHOD(bool, logged, (const QString& onceToken), (override));
    MOCK_METHOD(void, log, (const QString& value, const QString& file, const QString& once),
                (override));
    MOCK_METHOD(void, log, (const QString& value, const QString& file), (override));
};

class MockFeedback : public FeedbackAlert {
  public:
    MOCK_METHOD(void, alert_feedback, (const QString& message, const QString& details, bool fatal),
                (override));
};

class RecordingLogger : public Logger {
  public:
    void log_message(int level, const QString& text) override {
        levels.append(level);
        lines.append(text);
    }
    QList<int> levels;
    QStringList lines;
};

class FixedHost : public HostFacts {
  public:
    QString machineType() override { return QStringLiteral("TestBook1,1"); }
};

inline QVariantMap ssdDescription(const QString& model,
                                  const QString& revision = QStringLiteral("1.0")) {
    return {{QStringLiteral("DAMediaName"), model},
            {QStringLiteral("DADeviceRevision"), revision},
            {QStringLiteral("DADeviceProtocol"), QStringLiteral("SATA")},
            {QStringLiteral("isSSD"), true}};
}

inline AttributeRecord attribute(qint64 value, qint64 threshold, bool online = true) {
    AttributeRecord record;
    record.currentValue = AttributeNumber::fromSigned(value);
    record.worstValue = AttributeNumber::fromSigned(value);
    record.threshold = AttributeNumber::fromSigned(threshold);
    record.rawValue = AttributeNumber::fromSigned(0);
    record.isPrefail = AttributeNumber::fromSigned(0);
    record.isOnline = AttributeNumber::fromSigned(online ? 1 : 0);
    return record;
}

// One drive behind in-memory services; alerts and reports are mocks that
// tests set expectations on (uninteresting calls are allowed).
class EvaluationHarness {
  public:
    EvaluationHarness()
        : settings({{QStringLiteral("ThresholdError"), 30},
                    {QStringLiteral("ThresholdWarning"), 50},
                    {QStringLiteral("AllowSSDSubmission"), 1}}) {
        using ::testing::_;
        using ::testing::Return;
        ON_CALL(reports, logged(_)).WillByDefault(Return(false));
    }

    // Evaluates a drive named `name` with the given status, description and table.
    std::unique_ptr<SSD> check(std::uint8_t status, std::optional<QVariantMap> description,
                               std::optional<AttributeTable> table,
                               const QString& name = QStringLiteral("Macintosh HD")) {
        // Every check keeps its own disk layer alive, so earlier records stay usable.
        disks.push_back(
            std::make_unique<StaticDiskLayer>(status, std::move(description), std::move(table)));
        services.push_back(std::make_unique<EvaluationServices>(
            EvaluationServices{*disks.back(), host, reports, feedback, logger, settings}));
        auto ssd = std::make_unique<SSD>(*services.back());
        ssd->setDisknum(3);
        ssd->setName(name);
        ssd->performCheck();
        return ssd;
    }

    MemorySettings settings;
    FixedHost host;
    ::testing::NiceMock<MockReports> reports;
    ::testing::NiceMock<MockFeedback> feedback;
    RecordingLogger logger;
    std::vector<std::unique_ptr<StaticDiskLayer>> disks;
    std::vector<std::unique_ptr<EvaluationServices>> services;
};
