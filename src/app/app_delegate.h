#pragma once

#include "app/check_cycle_services.h"
#include "core/ssd.h"

#include <QObject>
#include <QString>
#include <QStringList>
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
    };

    // The overall result of the last cycle, for callers that act on it.
    enum class Overall { None, Error, Warning, OK, NoCompatible, NoSSD, Unchanged };

    explicit AppDelegate(Services services, QObject* parent = nullptr);
    ~AppDelegate() override;

    // One check cycle; the sender is ignored.
    void performCheck(const QObject* sender = nullptr);
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

    // Redraws both icons for the state (1 error, 2 warning, 3 OK; 0 the last one).
    void setIconSet(quint8 state);
    void changeIconset(const QObject* sender = nullptr);
    void updateIconsetPaths();

    const std::vector<std::unique_ptr<SSD>>& ssdArray() const { return ssdArray_; }
    QString statusSummaryText() const { return statusSummaryText_; }
    QString statusDetailText() const { return statusDetailText_; }
    QString statusTimeText() const { return statusTimeText_; }
    QUrl statusIconURL() const { return statusIconURL_; }
    Overall lastOverall() const { return lastOverall_; }
    // Deliveries scheduled by sendNotifications that have not run yet.
    int pendingDeliveries() const { return int(pendingDeliveries_.size()); }
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
    void evaluateDrives(QString& tooltip);
    void notifyProblems(const SSD& ssd);
    QString deviceNodeOf(const SSD& ssd) const;
    std::optional<QUrl> resource(const QString& name) const;

    Services services_;
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
};
