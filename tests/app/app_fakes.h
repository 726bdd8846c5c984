// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/app_delegate.h"
#include "app/settings_defaults.h"
#include "ext/scheduling.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <functional>
#include <map>
#include <ostream>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// Drives by disk number: a disk list and the S.M.A.R.T. answers behind it.
class FakeDisks final : public DiskSource, public DiskLayer {
  public:
    struct Drive {
        std::uint8_t status = 2;
        QVariantMap description;
        std::optional<AttributeTable> table;
    };
    std::optional<DiskList> list = DiskList();
    std::map<int, Drive> drives;
    std::map<int, QString> serials;
    std::map<int, DiskPowerState> power;
    // S.M.A.R.T. reads (status or table) per disk.
    std::map<int, int> reads;

    std::optional<DiskList> mountedHarddisks(bool) override { return list; }
    QString deviceNode(int disk) override {
        return QStringLiteral("/dev/sd%1").arg(QChar('a' + disk));
    }
    QString serialNumber(int disk) override { return serials[disk]; }
    DiskPowerState getDiskPowerState(int disk) override {
        const auto it = power.find(disk);
        return it == power.end() ? DiskPowerState::Unknown : it->second;
    }
    std::uint8_t getDiskSMARTStatus(int disk) override {
        ++reads[disk];
        return drives[disk].status;
    }
    std::optional<AttributeTable> getDiskSMARTAttributes(int disk) override {
        ++reads[disk];
        return drives[disk].table;
    }
    std::optional<QVariantMap> descriptionForDevice(qint64 disk) override {
        return drives[int(disk)].description;
    }
};

// Settings in memory over the controller's real fallback table.
class FakeSettings final : public ControllerSettings {
  public:
    FakeSettings() : fallbacks(controllerFallbackDefaults()) {}
    qint64 defaultInt(const QString& key) override {
        return values.contains(key) ? values.value(key) : fallbacks.value(key).toLongLong();
    }
    void setDefaultInt(const QString& key, qint64 value) override { values.insert(key, value); }
    QString defaultString(const QString& key) override {
        return strings.contains(key) ? strings.value(key) : fallbacks.value(key).toString();
    }
    QVariantMap fallbacks;
    QHash<QString, qint64> values;
    QHash<QString, QString> strings;
};

// Every outward call of the controller, in one ordered journal.
class Journal final : public StatusDisplay,
                      public UserNotifications,
                      public AlertPresenter,
                      public MailSender,
                      public UsageCounter,
                      public Logger,
                      public HostFacts,
                      public ServerReports,
                      public FeedbackAlert {
  public:
    void setTemplateSetting(int setting) override {
        add(QStringLiteral("template %1").arg(setting));
    }
    void setMenubarIcon(const QString& name) override { add(QStringLiteral("menubar ") + name); }
    void setDockIcon(const QString& name) override { add(QStringLiteral("dock ") + name); }
    void setMenuTooltip(const QString& text) override { tooltips.append(text); }
    void deliverNotification(const QString& title, const QString& text,
                             const QString& image) override {
        add(QStringLiteral("notify %1|%2|%3")
                .arg(title, text.section(QLatin1Char('\n'), 0, 0), image));
    }
    void deliverNotificationWithAction(const QString& title, const QString& text,
                                       const QString& image, const QString& label,
                                       std::function<void()> action) override {
        deliverNotification(title, text, image);
        actionLabels.append(label);
        actions.push_back(std::move(action));
    }
    int alert_apptitled(const QString& message, const QString& button, const QString& second,
                        const QString&) override {
        add(QStringLiteral("alert %1|%2").arg(message.section(QLatin1Char('\n'), 0, 0), button));
        alertSeconds.append(second);
        return alertAnswer;
    }
    int sendMailWithCGI(const QString& body, const QString& subject,
                        const std::optional<QString>& to, float timeout, bool blocklists,
                        bool testOnly) override {
        add(QStringLiteral("mail %1|%2|%3|%4|%5|%6")
                .arg(body.section(QLatin1Char('\n'), 0, 0), subject,
                     to.value_or(QStringLiteral("-")))
                .arg(timeout)
                .arg(blocklists)
                .arg(testOnly));
        return mailResult;
    }
    void increaseUsagesBy(int uses, int ratings, int feedback, const QString& text, bool now,
                          bool force) override {
        add(QStringLiteral("usage %1 %2 %3 %4 %5 %6")
                .arg(uses)
                .arg(ratings)
                .arg(feedback)
                .arg(text)
                .arg(now)
                .arg(force));
    }
    void log_message(int level, const QString& text) override {
        logs.append(QStringLiteral("%1 %2").arg(level).arg(text));
    }
    QString machineType() override { return QStringLiteral("Test"); }
    bool logged(const QString&) override { return true; }
    void log(const QString&, const QString&, const QString&) override {}
    void log(const QString&, const QString&) override {}
    void alert_feedback(const QString&, const QString&, bool) override {}

    // The entries that start with the prefix, in order.
    QStringList with(const QString& prefix) const {
        return calls.filter(
            QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(prefix)));
    }
    void add(const QString& entry) { calls.append(entry); }

    QStringList calls;
    QStringList logs;
    QStringList tooltips;
    // The second button each alert offered (empty: none), and the answer given.
    QStringList alertSeconds;
    // The second actions notifications offered, to be invoked by a test.
    QStringList actionLabels;
    std::vector<std::function<void()>> actions;
    int alertAnswer = 1000;
    int mailResult = 0;
};

// The notifications, alerts and mails the journal saw, in order.
inline QStringList deliveries(const Journal& journal) {
    QStringList result;
    for (const QString& call : journal.calls) {
        if (call.startsWith(QLatin1String("notify")) || call.startsWith(QLatin1String("alert")) ||
            call.startsWith(QLatin1String("mail"))) {
            result.append(call);
        }
    }
    return result;
}

// The controller over fakes; resources are those listed in `resources`.
struct Harness {
    // `mail` replaces the journal's recording sender, for tests of real deliveries.
    explicit Harness(MailSender* mail = nullptr, bool offMainThread = false) {
        controller = std::make_unique<AppDelegate>(AppDelegate::Services{
            disks, EvaluationServices{disks, journal, journal, journal, journal, settings},
            settings, journal, journal, journal, journal, mail ? *mail : journal, journal,
            QStringLiteral("Ostrivane"), QStringLiteral("1.2.3"), false,
            [this](const QString& name) -> std::optional<QUrl> {
                if (!resources.contains(name)) {
                    return std::nullopt;
                }
                return QUrl(QStringLiteral("file:///res/") + name);
            },
            offMainThread});
    }

    // A solid-state drive whose health is `health` (attribute 231 of an unlisted model).
    void addDrive(int number, const QString& name, int health, std::uint8_t status = 2) {
        AttributeRecord record;
        record.currentValue = AttributeNumber::fromSigned(health);
        record.worstValue = AttributeNumber::fromSigned(health);
        record.threshold = AttributeNumber::fromSigned(0);
        record.rawValue = AttributeNumber::fromSigned(0);
        record.isPrefail = AttributeNumber::fromSigned(0);
        record.isOnline = AttributeNumber::fromSigned(1);
        disks.drives[number] = {
            status,
            {{QStringLiteral("DAMediaName"), QStringLiteral("Unlisted SSD 1TB")},
             {QStringLiteral("DADeviceProtocol"), QStringLiteral("SATA")},
             {QStringLiteral("isSSD"), true}},
            AttributeTable{{231, record}}};
        disks.list->append({number, name});
    }

    // Runs a cycle and then every delivery it scheduled.
    void check() {
        controller->performCheck(nullptr);
        drain();
    }
    static void drain() {
        QEventLoop loop;
        run_on_main_after(0.1f, [&loop] { loop.quit(); });
        loop.exec();
    }

    FakeDisks disks;
    FakeSettings settings;
    Journal journal;
    QStringList resources;
    std::unique_ptr<AppDelegate> controller;
};
