// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/headless_app.h"

#include "app/report_setup.h"
#include "core/dx_server_logging.h"

#include "disks/platform/linux/linux_host_facts.h"
#include "ext/scheduling.h"
#include "foundation/wendle_lib.h"

class HeadlessApp::Disks final : public DiskSource {
  public:
    explicit Disks(DXHostInformation& host) : host_(host) {}
    std::optional<DiskList> mountedHarddisks(bool resolveBacking) override {
        return host_.mountedHarddisks(resolveBacking);
    }
    QString deviceNode(int disk) override { return host_.deviceNode(disk); }
    QString serialNumber(int disk) override {
        const QString serial = host_.serialNumber(disk);
        return serial == QLatin1String("NOSERIAL") ? QString() : serial;
    }

  private:
    DXHostInformation& host_;
};

// Where notifications go when a run must not raise any.
class HeadlessApp::Silent final : public UserNotifications,
                                  public AlertPresenter,
                                  public MailSender {
  public:
    void deliverNotification(const QString&, const QString&, const QString&) override {}
    int alert_apptitled(const QString&, const QString&, const QString&, const QString&) override {
        return 1000;
    }
    int sendMailWithCGI(const QString&, const QString&, const std::optional<QString>&, float, bool,
                        bool) override {
        return 0;
    }
};

HeadlessApp::HeadlessApp(const Options& options, Logger& log)
    : log_(log),
      feedback_(log),
      notifications_(log, WendleLib::shared().appName()),
      alerts_(log, WendleLib::shared().appName()),
      rating_(log) {
    host_ = std::make_unique<DXHostInformation>(
        DriveAccessOptions{options.machine, options.socketPath}, log);
    disks_ = std::make_unique<Disks>(*host_);
    // Reports drop everything until configured with the host and services.
    if (options.reports) {
        configureServerReports([host = host_.get()] { return host->host().isOnline(); });
    }
    notifications_.clicked = options.notificationClicked;
    notifications_.fallback = options.notificationFallback;
    if (!options.notify) {
        silent_ = std::make_unique<Silent>();
    }
    const WendleLib& lib = WendleLib::shared();
    usage_ = std::make_unique<DXUsageCounting>(lib.appName(), lib.appVersionString(),
                                               options.rating ? *options.rating : rating_);
    controller_ = std::make_unique<AppDelegate>(AppDelegate::Services{
        *disks_,
        EvaluationServices{*host_, *host_, DXServerLogging::shared(),
                           options.feedback ? *options.feedback : feedback_, log, settings_},
        settings_,
        log,
        options.display ? *options.display : display_,
        silent_ ? static_cast<UserNotifications&>(*silent_) : notifications_,
        silent_ ? static_cast<AlertPresenter&>(*silent_)
                : (options.alerts ? *options.alerts : alerts_),
        silent_ ? static_cast<MailSender&>(*silent_) : mail_,
        *usage_,
        lib.appName(),
        lib.appVersionString(),
        options.darkMode,
        {},
        options.workOffMainThread,
    });
    if (!options.historyPath.isEmpty()) {
        history_ = std::make_unique<HealthHistory>(log);
        if (history_->open(options.historyPath)) {
            QObject::connect(controller_.get(), &AppDelegate::checkFinished,
                             [this] { recordHistory(); });
        }
    }
}

HeadlessApp::~HeadlessApp() {
    // Server reports run in the background and ask this app's host whether
    // it is online: they must end before the host does.
    wait_for_background();
}

void HeadlessApp::recordHistory() {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<HealthRecord> records;
    for (const auto& ssd : controller_->ssdArray()) {
        records.append({now, ssd->name(), ssd->modelName(), serialOf(*ssd), ssd->deviceNode(),
                        ssd->healthPercentage(), ssd->smartStatus(), ssd->ownWear()});
    }
    if (!records.isEmpty()) {
        history_->append(records);
    }
}

void HeadlessApp::launchPing() {
    DXServerLogging::shared().log(QStringLiteral("linux-headless"), QStringLiteral("ping"));
}
