// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/app_delegate.h"
#include "app/headless_shell.h"
#include "app/health_history.h"
#include "app/store_settings.h"
#include "app/usage_counting.h"
#include "disks/dx_host_information.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

// The controller wired to the real disks, settings, log and relay, without
// windows: what `ostrivane-cli check` and `ostrivane-cli monitor` run.
class HeadlessApp {
  public:
    struct Options {
        // A recorded machine (with its S.M.A.R.T. pages); empty: this machine.
        QString machine;
        // The S.M.A.R.T. service's socket; when set, always used (never root access).
        std::optional<std::string> socketPath;
        // Where the history goes; empty: no history.
        QString historyPath;
        // A desktop shell's own services; absent ones are the headless ones.
        StatusDisplay* display = nullptr;
        AlertPresenter* alerts = nullptr;
        FeedbackAlert* feedback = nullptr;
        RatingPresenter* rating = nullptr;
        // A click on a desktop notification; empty: notifications offer none.
        std::function<void()> notificationClicked;
        // Shows a notification when there is no notification service
        // (false: it cannot either, and the notification is logged).
        std::function<bool(const QString& title, const QString& text)> notificationFallback;
        // The platform appearance was dark at start-up.
        bool darkMode = false;
        // Off: notifications go nowhere (no desktop message, no e-mail).
        bool notify = true;
        // Off: nothing is reported to the maker's server (a recorded machine's
        // drives are not this machine's; a read-only run leaves no trace).
        bool reports = true;
        // Off: a check reads the drives on the calling thread and has ended
        // when performCheck returns (for tests of what a cycle shows).
        bool workOffMainThread = true;
    };

    HeadlessApp(const Options& options, Logger& log);
    ~HeadlessApp();

    AppDelegate& controller() { return *controller_; }
    DXHostInformation& host() { return *host_; }
    const HeadlessStatusDisplay& display() const { return display_; }
    // The serial number of each drive of the last check, in ssdArray's order.
    QString serialOf(const SSD& ssd) { return host_->serialNumber(ssd.disknum()); }
    // The report of a launch, for the maker's statistics.
    void launchPing();

  private:
    class Disks;
    class Silent;
    void recordHistory();

    Logger& log_;
    StoreSettings settings_;
    std::unique_ptr<DXHostInformation> host_;
    std::unique_ptr<Disks> disks_;
    LoggedFeedbackAlert feedback_;
    HeadlessStatusDisplay display_;
    DesktopNotifications notifications_;
    LoggedAlerts alerts_;
    RelayMailSender mail_;
    NoRatingWindow rating_;
    std::unique_ptr<Silent> silent_;
    std::unique_ptr<DXUsageCounting> usage_;
    std::unique_ptr<HealthHistory> history_;
    std::unique_ptr<AppDelegate> controller_;
};
