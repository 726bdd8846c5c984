// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/check_cycle_services.h"
#include "app/drive_snapshot.h"
#include "core/ssd.h"
#include "core/wording.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The monitoring controller: runs the check cycle on a timer, keeps the
// solid-state drives of the last cycle, decides the notifications and derives
// the overall status, texts and icons. Qt Core only, so the same controller
// serves the desktop app, the headless monitor and `ostrivane-cli check`.
class AppDelegate : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString statusSummaryText READ statusSummaryText NOTIFY statusChanged)
    Q_PROPERTY(QString statusDetailText READ statusDetailText NOTIFY statusChanged)
    Q_PROPERTY(QString statusTimeText READ statusTimeText NOTIFY statusChanged)
    Q_PROPERTY(QUrl statusIconURL READ statusIconURL NOTIFY statusChanged)

  public:
    // Everything the controller reaches outside itself.
    struct Services {
        DiskSource& disks;
        EvaluationServices evaluation;
        ControllerSettings& settings;
        Logger& log;
        StatusDisplay& display;
        UserNotifications& notifications;
        AlertPresenter& alerts;
        MailSender& mail;
        UsageCounter& usage;
        QString appName;
        QString appVersion;
        bool darkMode = false;
        // Location of a resource file by name; absent when there is none.
        std::function<std::optional<QUrl>(const QString&)> resourceURL;
        // On: the drive reads of a cycle and the e-mail deliveries run on
        // workers, so the main thread stays responsive; the evaluation and
        // every other delivery still run on the main thread. Off: the
        // cycle runs through before performCheck returns.
        bool workOffMainThread = false;
    };

    // The overall result of the last cycle, for callers that act on it.
    enum class Overall { None, Error, Warning, OK, NoCompatible, NoSSD, Unchanged };

    explicit AppDelegate(Services services, QObject* parent = nullptr);
    ~AppDelegate() override;

    // One check cycle; the sender is ignored. Working off the main thread,
    // it starts the reads and returns; checkFinished tells when the cycle
    // ended. Asked for while the drives are being read, it does nothing:
    // the cycle under way is that check.
    void performCheck(const QObject* sender = nullptr);
    // True while a cycle's drive reads are under way.
    bool isChecking() const { return gathering_; }
    // Returns once no cycle is under way, running the event loop meanwhile.
    void waitForCheck();
    // Restarts the timer from the current interval; also checks at once when
    // the sender is this controller or a control tagged 66.
    void checkIntervalChanged(const QObject* sender);
    // Counts a use and schedules the delivery of the text 0.1 s later.
    void sendNotifications(const QString& problemText);
    // Delivers at once, in order, every text still waiting for its scheduled
    // delivery: for a process about to leave its event loop, which would
    // otherwise drop notifications whose uses were already counted.
    void finishDeliveries();
    void increaseUsages(bool usage, bool allowFeedbackNow);

    // "Remind me only when it changes": the threshold notifications of the
    // drive with this serial number stay silent while its health stays at
    // `health` and its S.M.A.R.T. status at `status`; any change ends it.
    // Decrease notifications are never silenced. False for a drive without
    // a serial number (the choice could not be kept apart from others').
    bool remindOnlyWhenChanged(const QString& serial, qint32 health, std::uint8_t status);
    // Whether the choice is on for the drive (anchored or not yet).
    bool isRemindingOnlyWhenChanged(const QString& serial);
    // The drive's serial number as the last cycle read it; empty when unknown.
    QString serialOf(const SSD& ssd) { return snapshotDisks_.serialNumber(ssd.disknum()); }
    static QString remindKey(const QString& serial);
    static QString remindAnchorKey(const QString& serial);

    // Redraws both icons for the state (1 error, 2 warning, 3 OK; 0 the last one).
    void setIconSet(quint8 state);
    void changeIconset(const QObject* sender = nullptr);
    void updateIconsetPaths();

    const std::vector<std::unique_ptr<SSD>>& ssdArray() const { return ssdArray_; }
    QString statusSummaryText(Wording wording = Wording::Shown) const {
        return worded(statusSummaryText_, wording);
    }
    QString statusDetailText(Wording wording = Wording::Shown) const {
        return worded(statusDetailText_, wording);
    }
    QString statusTimeText() const { return statusTimeText_; }
    QUrl statusIconURL() const { return statusIconURL_; }
    Overall lastOverall() const { return lastOverall_; }
    // Deliveries scheduled by sendNotifications that have not run yet, and
    // e-mails still being sent.
    int pendingDeliveries() const { return int(pendingDeliveries_.size()) + mailsUnderWay_; }
    const QTimer* checkTimer() const { return checkTimer_.get(); }
    bool isDarkMode() const { return services_.darkMode; }

    static QStringList menuIconsetNames();
    std::optional<QUrl> dockIconWarningURL, dockIconOKURL, dockIconErrorURL;
    std::optional<QUrl> menuIconWarningURL, menuIconOKURL, menuIconErrorURL;

    // The name of an e-mail result code; codes outside the table are named by number.
    static QString emailResultName(int code);
    // The longest timer interval Qt can hold, in minutes.
    static constexpr qint64 kMaximumIntervalMinutes = 35791;

  Q_SIGNALS:
    void ssdArrayWillChange();
    void ssdArrayDidChange();
    void statusChanged();
    // After every cycle, with ssdArray filled.
    void checkFinished();

  private:
    void deliver(const QString& problemText);
    void deliverNext();
    void deliverDue();
    void runCycle(std::shared_ptr<const DriveSnapshot> snapshot);
    void evaluateDrives(QString& tooltip);
    void mailDelivered(int result);
    void notifyProblems(const SSD& ssd);
    // Whether the drive's threshold notification is silenced this cycle;
    // ends the choice when the drive changed.
    bool thresholdSilenced(const SSD& ssd);
    QString deviceNodeOf(const SSD& ssd) const;
    std::optional<QUrl> resource(const QString& name) const;

    Services services_;
    // The drives as the last cycle read them, and the evaluation's services
    // over them (the drives of ssdArray keep using these).
    SnapshotDisks snapshotDisks_;
    EvaluationServices snapshotEvaluation_;
    std::vector<std::unique_ptr<SSD>> ssdArray_;
    std::unique_ptr<QTimer> checkTimer_;
    QString statusSummaryText_;
    QString statusDetailText_;
    QString statusTimeText_;
    QUrl statusIconURL_;
    quint8 lastIconState_ = 3;
    Overall lastOverall_ = Overall::None;
    // Texts waiting for their delivery, oldest first.
    QStringList pendingDeliveries_;
    // The drive behind each threshold text, so its alert can offer
    // "remind me only when it changes" for that drive.
    struct RemindChoice {
        QString serial;
        qint32 health = 0;
        std::uint8_t status = 0;
    };
    QHash<QString, RemindChoice> remindable_;
    bool gathering_ = false;
    int mailsUnderWay_ = 0;
    // Deliveries whose time has come but that wait for an e-mail under way.
    int dueDeliveries_ = 0;
    // The context of the e-mails' results, apart from the cycle's, so that
    // finishDeliveries can take the results without running a cycle.
    QObject mailResults_;
    // One worker each, so reads and mails keep their order and a slow relay
    // never holds up a check. Last: they end (waiting) before the rest.
    QThreadPool readWorker_;
    QThreadPool mailWorker_;
};
