// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_delegate.h"

#include "app/drive_snapshot.h"
#include "delivery/dx_email_sender.h"

#include "ext/date.h"
#include "ext/scheduling.h"
#include "ext/text.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QPointer>

#include <algorithm>
#include <array>

namespace {

// The e-mail subject stays English, for the filters of those who receive it;
// the desktop notification shows it in the user's language.
const QString kProblemTitle =
    QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Ostrivane SSD Problem Notification"));
const QString kFeedbackText = QStringLiteral(
    "[APPNAME] has notified you successfully [USAGES_ASKREVIEW] times about health-changes of "
    "your SSD!");
constexpr int kCheckNowTag = 66;

// Icon states: 1 error, 2 warning, 3 OK.
QString stateSuffix(quint8 state) {
    static const std::array<const char*, 3> kSuffixes{"error", "warning", "ok"};
    return QString::fromLatin1(kSuffixes[std::clamp<int>(state, 1, 3) - 1]);
}

}  // namespace

AppDelegate::AppDelegate(Services services, QObject* parent)
    : QObject(parent),
      services_(std::move(services)),
      snapshotEvaluation_{snapshotDisks_,
                          services_.evaluation.host,
                          services_.evaluation.reports,
                          services_.evaluation.feedback,
                          services_.evaluation.log,
                          services_.evaluation.settings} {
    if (!services_.resourceURL) {
        services_.resourceURL = [](const QString& name) { return resourceURL(name); };
    }
    for (QThreadPool* worker : {&readWorker_, &mailWorker_}) {
        worker->setMaxThreadCount(1);
        // The thread ends with its work: an idle process keeps no thread
        // that would wake up later only to end.
        worker->setExpiryTimeout(0);
    }
}

AppDelegate::~AppDelegate() {
    // The workers use the services, which end with their owner after this.
    readWorker_.waitForDone();
    mailWorker_.waitForDone();
}

QStringList AppDelegate::menuIconsetNames() {
    // Shown through localized(); marked so the texts are collected for translation.
    return {QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Disks")),
            QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Gray Disks")),
            QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Angular Disks")),
            QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Gray Angular Disks")),
            QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Signs")),
            QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Round Signs")),
            QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Mixed Signs")),
            QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Points")),
            QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Circles")),
            QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "LEDs")),
            QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Mixed Disks")),
            QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Mixed Angular Disks")),
            QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Black Sign")),
            QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Unobtrusive Points")),
            QStringLiteral(QT_TRANSLATE_NOOP("Localizable", "Retro Disks"))};
}

QString AppDelegate::emailResultName(int code) {
    return DXEmailSender::resultName(code);
}

std::optional<QUrl> AppDelegate::resource(const QString& name) const {
    return services_.resourceURL(name);
}

QString AppDelegate::deviceNodeOf(const SSD& ssd) const {
    // Linux has no /dev/diskN: show the node the user can find.
    return ssd.deviceNode().isEmpty() ? QStringLiteral("/dev/disk%1").arg(ssd.disknum())
                                      : ssd.deviceNode();
}

void AppDelegate::performCheck(const QObject*) {
    // Read here, on the main thread, like every setting.
    DriveSnapshot::Options gatherOptions;
    gatherOptions.previous = snapshotDisks_.snapshot();
    gatherOptions.readSleepingDisks =
        services_.settings.defaultInt(QStringLiteral("CheckStandbyDisks")) != 0;
    if (!services_.workOffMainThread) {
        runCycle(std::make_shared<const DriveSnapshot>(
            DriveSnapshot::gather(services_.disks, services_.evaluation.disks, gatherOptions)));
        return;
    }
    if (gathering_) {
        services_.log.log_message(7, QStringLiteral("Debug: check asked for while one runs"));
        return;
    }
    gathering_ = true;
    readWorker_.start([this, gatherOptions] {
        auto snapshot = std::make_shared<const DriveSnapshot>(
            DriveSnapshot::gather(services_.disks, services_.evaluation.disks, gatherOptions));
        QMetaObject::invokeMethod(
            this,
            [this, snapshot] {
                gathering_ = false;
                runCycle(snapshot);
            },
            Qt::QueuedConnection);
    });
}

void AppDelegate::waitForCheck() {
    if (!gathering_) {
        return;
    }
    QEventLoop loop;
    connect(this, &AppDelegate::checkFinished, &loop, &QEventLoop::quit);
    loop.exec();
}

void AppDelegate::runCycle(std::shared_ptr<const DriveSnapshot> snapshot) {
    // Sudden termination: a signal only queues the quit on the event loop, and
    // the evaluation runs on that loop's thread, so it always completes first;
    // a cycle still reading its drives has changed nothing yet.
    Q_EMIT ssdArrayWillChange();
    ssdArray_.clear();
    Q_EMIT ssdArrayDidChange();
    snapshotDisks_.setSnapshot(std::move(snapshot));

    QString tooltip = QStringLiteral("Ostrivane v%1\n\n").arg(services_.appVersion);
    evaluateDrives(tooltip);

    statusTimeText_ = localized(QStringLiteral("Last check: %1"))
                          .arg(stringUsingDateStyle(QDateTime::currentDateTime(), DateStyle::Long,
                                                    DateStyle::Long));

    struct Outcome {
        quint8 iconState;
        const char* image;
        const char* summary;
        const char* detail;
        Overall overall;
    };
    std::optional<Outcome> outcome;
    if (ssdArray_.empty()) {
        outcome =
            Outcome{2, "info.png", QT_TRANSLATE_NOOP("Localizable", "Status: Unknown"),
                    QT_TRANSLATE_NOOP("Localizable", "No internal SSD devices have been found."),
                    Overall::NoSSD};
    } else {
        qint32 worst = 255;
        for (const auto& ssd : ssdArray_) {
            worst = std::min(worst, ssd->healthPercentage());
            notifyProblems(*ssd);
        }
        const qint64 error = services_.settings.defaultInt(QStringLiteral("ThresholdError"));
        const qint64 warning = services_.settings.defaultInt(QStringLiteral("ThresholdWarning"));
        if (worst <= error) {
            outcome =
                Outcome{1, "error.png", QT_TRANSLATE_NOOP("Localizable", "Status: Error"),
                        QT_TRANSLATE_NOOP("Localizable",
                                          "SSD Health status of a SSD is below FAILING threshold!"),
                        Overall::Error};
        } else if (worst <= warning) {
            outcome =
                Outcome{2, "warning.png", QT_TRANSLATE_NOOP("Localizable", "Status: Warning"),
                        QT_TRANSLATE_NOOP("Localizable",
                                          "SSD Health status of a SSD is below WARNING threshold!"),
                        Overall::Warning};
        } else if (worst <= 100) {
            outcome =
                Outcome{3, "ok.png", QT_TRANSLATE_NOOP("Localizable", "Status: OK"),
                        QT_TRANSLATE_NOOP("Localizable", "SSD Health of your SSD(s) is fine!"),
                        Overall::OK};
        } else if (worst == kHealthUnknown) {
            outcome = Outcome{
                2, "info.png", QT_TRANSLATE_NOOP("Localizable", "Status: No compatible SSDs found"),
                QT_TRANSLATE_NOOP("Localizable", "All connected SSDs are incompatible!"),
                Overall::NoCompatible};
        }
    }
    if (outcome) {
        statusIconURL_ = resource(QString::fromLatin1(outcome->image)).value_or(QUrl());
        statusSummaryText_ = QString::fromLatin1(outcome->summary);
        statusDetailText_ = QString::fromLatin1(outcome->detail);
        lastOverall_ = outcome->overall;
        setIconSet(outcome->iconState);
    } else {
        // A worst health between 101 and 254 keeps the previous status.
        lastOverall_ = Overall::Unchanged;
    }
    // Settings reset after damage change how drives are judged: told once,
    // like a drive's problem.
    if (const QString notice = services_.settings.takeSettingsDamageNotice(); !notice.isEmpty()) {
        sendNotifications(notice);
    }
    Q_EMIT statusChanged();
    services_.display.setMenuTooltip(tooltip);
    Q_EMIT checkFinished();
}

void AppDelegate::evaluateDrives(QString& tooltip) {
    const DiskList disks = snapshotDisks_.mountedHarddisks(true).value_or(DiskList());
    for (const DiskEntry& entry : disks) {
        auto ssd = std::make_unique<SSD>(snapshotEvaluation_);
        ssd->setDisknum(entry.diskNumber);
        ssd->setName(entry.diskName);
        ssd->setDeviceNode(snapshotDisks_.deviceNode(entry.diskNumber));
        ssd->setStandbySince(snapshotDisks_.standbySince(entry.diskNumber));
        ssd->performCheck();
        if (ssd->standbySince()) {
            services_.log.log_message(6, QStringLiteral("%1 %2: not read this cycle")
                                             .arg(ssd->description(), ssd->standbyText()));
        }
        if (!ssd->isSSD()) {
            continue;
        }
        if (ssd->healthPercentage() <= 100 && ssd->smartStatus() != SMARTStatusNotCapable) {
            tooltip += localized(QStringLiteral("Disk: %1 Health: %2%\n"))
                           .arg(ssd->name(), QString::number(ssd->healthPercentage()));
        }
        Q_EMIT ssdArrayWillChange();
        ssdArray_.push_back(std::move(ssd));
        Q_EMIT ssdArrayDidChange();
    }
}

void AppDelegate::notifyProblems(const SSD& ssd) {
    ControllerSettings& settings = services_.settings;
    const qint32 health = ssd.healthPercentage();
    const qint32 last = ssd.lastHealthPercentage();
    const QString node = deviceNodeOf(ssd);
    if (health < last && last <= 254 &&
        settings.defaultInt(QStringLiteral("NotificationTriggerDecrease")) != 0) {
        sendNotifications(localized(QStringLiteral("SSD Health status of disk %1 (%2) decreased "
                                                   "from %3% to %4%!\n\nAttributes:\n%5"))
                              .arg(ssd.name(), node, QString::number(last), QString::number(health),
                                   ssd.fullAttributeInformation(Wording::Shown)));
    }
    const QString state = QStringLiteral("%1 %2").arg(ssd.description(), ssd.status());
    // The threshold's name is a word of the sentence, so it is translated with it.
    const auto thresholdText = [&](const char* which) {
        const QString text =
            localized(
                QStringLiteral("SSD Health status of disk %1 (%2) is currently %3% which is is "
                               "below the set %4 threshold!\n\nAttributes:\n%5"))
                .arg(ssd.name(), node, QString::number(health), localized(QLatin1String(which)),
                     ssd.fullAttributeInformation(Wording::Shown));
        if (const QString serial = serialOf(ssd); !serial.isEmpty()) {
            remindable_.insert(text, {serial, health, ssd.smartStatus()});
        }
        return text;
    };
    const bool silenced = thresholdSilenced(ssd);
    if (health <= settings.defaultInt(QStringLiteral("ThresholdError"))) {
        services_.log.log_message(0, state);
        if (settings.defaultInt(QStringLiteral("NotificationTriggerStatus")) != 0 && !silenced) {
            sendNotifications(thresholdText(QT_TRANSLATE_NOOP("Localizable", "ERROR")));
        }
    } else if (health <= settings.defaultInt(QStringLiteral("ThresholdWarning"))) {
        services_.log.log_message(3, state);
        if (settings.defaultInt(QStringLiteral("NotificationTriggerStatus")) != 0 &&
            settings.defaultInt(QStringLiteral("NotificationTriggerStatusType")) == 0 &&
            !silenced) {
            sendNotifications(thresholdText(QT_TRANSLATE_NOOP("Localizable", "WARNING")));
        }
    } else {
        services_.log.log_message(5, state);
    }
}

QString AppDelegate::remindKey(const QString& serial) {
    return QStringLiteral("RemindOnlyWhenChanged_%1").arg(serial);
}

QString AppDelegate::remindAnchorKey(const QString& serial) {
    return QStringLiteral("RemindOnlyWhenChangedAt_%1").arg(serial);
}

namespace {

// The health and status a choice was made at, in one whole number:
// 1000 × (status + 1) + health; 0 while not yet known.
constexpr qint64 kAnchorStatusStep = 1000;

qint64 anchorValue(qint32 health, std::uint8_t status) {
    return kAnchorStatusStep * (qint64(status) + 1) + std::clamp<qint32>(health, 0, 999);
}

}  // namespace

bool AppDelegate::remindOnlyWhenChanged(const QString& serial, qint32 health, std::uint8_t status) {
    if (serial.isEmpty()) {
        return false;
    }
    services_.settings.setDefaultInt(remindKey(serial), 1);
    services_.settings.setDefaultInt(remindAnchorKey(serial), anchorValue(health, status));
    return true;
}

bool AppDelegate::isRemindingOnlyWhenChanged(const QString& serial) {
    return !serial.isEmpty() && services_.settings.defaultInt(remindKey(serial)) != 0;
}

bool AppDelegate::thresholdSilenced(const SSD& ssd) {
    const QString serial = serialOf(ssd);
    if (!isRemindingOnlyWhenChanged(serial)) {
        return false;
    }
    ControllerSettings& settings = services_.settings;
    const qint64 now = anchorValue(ssd.healthPercentage(), ssd.smartStatus());
    const qint64 anchor = settings.defaultInt(remindAnchorKey(serial));
    if (anchor == 0) {
        // Turned on with `defaults`, which knows no health: this cycle's
        // values are the ones it was chosen at.
        settings.setDefaultInt(remindAnchorKey(serial), now);
        return true;
    }
    if (anchor == now) {
        return true;
    }
    settings.setDefaultInt(remindKey(serial), 0);
    settings.setDefaultInt(remindAnchorKey(serial), 0);
    services_.log.log_message(
        5,
        QStringLiteral("Notice: %1 changed (health %2%, S.M.A.R.T. %3 when chosen; now %4%, %5): "
                       "reminding at every check again")
            .arg(ssd.description(), QString::number(anchor % kAnchorStatusStep),
                 QString::number(anchor / kAnchorStatusStep - 1),
                 QString::number(ssd.healthPercentage()), QString::number(ssd.smartStatus())));
    return false;
}

void AppDelegate::sendNotifications(const QString& problemText) {
    increaseUsages(true, false);
    // Deliveries may block (a modal alert, the relay's time-out), so they run
    // after the cycle, in the order they were raised. Each timer delivers the
    // oldest waiting text, so finishDeliveries may take over at any point.
    pendingDeliveries_.append(problemText);
    QPointer<AppDelegate> self(this);
    run_on_main_after(0.1f, [self] {
        if (self) {
            ++self->dueDeliveries_;
            self->deliverDue();
        }
    });
}

void AppDelegate::deliverDue() {
    // A delivery ends with its e-mail's result: the next one waits for it.
    while (mailsUnderWay_ == 0 && dueDeliveries_ > 0) {
        --dueDeliveries_;
        deliverNext();
    }
}

void AppDelegate::deliverNext() {
    if (!pendingDeliveries_.isEmpty()) {
        deliver(pendingDeliveries_.takeFirst());
    }
}

void AppDelegate::finishDeliveries() {
    while (!pendingDeliveries_.isEmpty() || mailsUnderWay_ > 0) {
        if (mailsUnderWay_ > 0) {
            // Each mail's result (and its alert) comes before the next text.
            mailWorker_.waitForDone();
            QCoreApplication::sendPostedEvents(&mailResults_, QEvent::MetaCall);
            continue;
        }
        deliverNext();
    }
    // The timers of the texts delivered here find nothing left, as before.
    dueDeliveries_ = 0;
}

void AppDelegate::increaseUsages(bool usage, bool allowFeedbackNow) {
    services_.usage.increaseUsagesBy(usage ? 1 : 0, 1, 3, kFeedbackText, allowFeedbackNow, false);
}

void AppDelegate::deliver(const QString& problemText) {
    ControllerSettings& settings = services_.settings;
    if (settings.defaultInt(QStringLiteral("NotificationUseAlert")) != 0) {
        const qint64 type = settings.defaultInt(QStringLiteral("NotificationUseAlertType"));
        if (type == 0 || type == 2) {
            const auto choice = remindable_.constFind(problemText);
            if (choice == remindable_.constEnd()) {
                services_.notifications.deliverNotification(
                    localized(kProblemTitle), problemText,
                    QStringLiteral("iconset_dock_1_warning"));
            } else {
                QPointer<AppDelegate> self(this);
                services_.notifications.deliverNotificationWithAction(
                    localized(kProblemTitle), problemText, QStringLiteral("iconset_dock_1_warning"),
                    localized(QStringLiteral("Remind Me Only When It Changes")),
                    [self, choice = *choice] {
                        if (self) {
                            self->remindOnlyWhenChanged(choice.serial, choice.health,
                                                        choice.status);
                        }
                    });
            }
        }
        if (type == 1 || type == 2) {
            const auto choice = remindable_.constFind(problemText);
            if (choice == remindable_.constEnd()) {
                services_.alerts.alert_apptitled(problemText, QStringLiteral("OK"), {}, {});
            } else if (services_.alerts.alert_apptitled(
                           problemText, QStringLiteral("OK"),
                           localized(QStringLiteral("Remind Me Only When It Changes")),
                           {}) == 1001) {
                remindOnlyWhenChanged(choice->serial, choice->health, choice->status);
            }
        }
    }
    remindable_.remove(problemText);
    if (settings.defaultInt(QStringLiteral("NotificationUseEmail")) != 0) {
        const QString to = settings.defaultString(QStringLiteral("NotificationUseEmailAddress"));
        if (!services_.workOffMainThread) {
            mailDelivered(services_.mail.sendMailWithCGI(problemText, kProblemTitle, to, 60.0f,
                                                         false, false));
            return;
        }
        // The relay may take its whole time-out; one worker sends the mails
        // one after the other, in the order they were raised.
        ++mailsUnderWay_;
        mailWorker_.start([this, problemText, to] {
            const int result =
                services_.mail.sendMailWithCGI(problemText, kProblemTitle, to, 60.0f, false, false);
            QMetaObject::invokeMethod(
                &mailResults_,
                [this, result] {
                    --mailsUnderWay_;
                    mailDelivered(result);
                    deliverDue();
                },
                Qt::QueuedConnection);
        });
    }
}

void AppDelegate::mailDelivered(int result) {
    if (result != 0) {
        services_.alerts.alert_apptitled(
            localized(
                QStringLiteral("Unable to send e-mail about SSD problem notification (error: %1)"))
                .arg(emailResultName(result)),
            QStringLiteral("OK"), {}, {});
    }
}

void AppDelegate::checkIntervalChanged(const QObject* sender) {
    qint64 minutes = services_.settings.defaultInt(QStringLiteral("SSDCheckInterval"));
    // A timer of 0 or less would fire continuously; beyond the maximum, Qt's
    // millisecond count would overflow.
    if (minutes < 1 || minutes > kMaximumIntervalMinutes) {
        const qint64 bounded = std::clamp<qint64>(minutes, 1, kMaximumIntervalMinutes);
        services_.log.log_message(
            3, QStringLiteral("Error: check interval of %1 minutes is out of range; using %2")
                   .arg(minutes)
                   .arg(bounded));
        minutes = bounded;
    }
    checkTimer_ = std::make_unique<QTimer>();
    // Whole-second precision is the timer's tolerance and spares wakeups.
    checkTimer_->setTimerType(Qt::VeryCoarseTimer);
    checkTimer_->setInterval(std::chrono::minutes(minutes));
    connect(checkTimer_.get(), &QTimer::timeout, this, [this] { performCheck(checkTimer_.get()); });
    checkTimer_->start();
    if (sender == this || (sender && sender->property("tag").toInt() == kCheckNowTag)) {
        performCheck(sender);
    }
}

void AppDelegate::setIconSet(quint8 state) {
    if (state != 0) {
        lastIconState_ = state;
    } else {
        state = lastIconState_;
    }
    const QString suffix = stateSuffix(state);
    const qint64 menuSet = services_.settings.defaultInt(QStringLiteral("IconsetMenubar"));
    // Sets drawn in black turn into template images on the dark menu bar.
    const bool asTemplate =
        services_.darkMode && ((state == 3 && menuSet == 12) || (state != 1 && menuSet == 14));
    services_.display.setTemplateSetting(asTemplate ? 2 : 0);
    services_.display.setMenubarIcon(
        QStringLiteral("iconset_menu_%1_%2").arg(menuSet + 1).arg(suffix));
    services_.display.setDockIcon(
        QStringLiteral("iconset_dock_%1_%2")
            .arg(services_.settings.defaultInt(QStringLiteral("IconsetDock")) + 1)
            .arg(suffix));
}

void AppDelegate::changeIconset(const QObject*) {
    setIconSet(0);
    updateIconsetPaths();
}

void AppDelegate::updateIconsetPaths() {
    ControllerSettings& settings = services_.settings;
    const auto dock = [&](const char* suffix) {
        return resource(QStringLiteral("iconset_dock_%1_%2")
                            .arg(settings.defaultInt(QStringLiteral("IconsetDock")) + 1)
                            .arg(QLatin1String(suffix)));
    };
    const auto menu = [&](const char* suffix) {
        return resource(QStringLiteral("iconset_menu_%1_%2")
                            .arg(settings.defaultInt(QStringLiteral("IconsetMenubar")) + 1)
                            .arg(QLatin1String(suffix)));
    };
    dockIconWarningURL = dock("warning.png");
    dockIconOKURL = dock("ok.png");
    dockIconErrorURL = dock("error.png");
    menuIconWarningURL = menu("warning.png");
    menuIconOKURL = menu("ok.png");
    menuIconErrorURL = menu("error.png");
    if (!menuIconWarningURL) {
        menuIconWarningURL = menu("warning.tiff");
        menuIconOKURL = menu("ok.tiff");
        menuIconErrorURL = menu("error.tiff");
    }
}
