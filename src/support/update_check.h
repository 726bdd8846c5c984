// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/alerts.h"
#include "support/support_mail.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

// The update check on the user's request: the feed's newest build against
// our own, told in a dialog. Nothing is installed; a newer build leads to the
// maker's updater's page. The feed is outside data: any fault in it is the
// failure dialog, never more.
class UpdateCheck {
  public:
    // The whole body, or absent on any failure (too large included).
    using Download = std::function<std::optional<QByteArray>(const QUrl& url)>;

    struct Outcome {
        enum Kind { Newer, UpToDate, Failed } kind = Failed;
        qint64 newestBuild = 0;
        // Absent when the feed names none.
        std::optional<QString> newestVersion;
    };

    UpdateCheck(Alerts& alerts, UrlOpener& opener, QString feedURL, QString ownVersion,
                qint32 ownBuild, QString updaterPage, Download download = {});

    // An empty feed address means this build has no update check: the menu
    // command is not offered.
    bool configured() const { return !feedURL_.isEmpty(); }
    // Fetches, compares and tells; blocks until the user answered.
    void checkForUpdatesAction();

    // The text between `marker` followed by a double quote and the next
    // double quote, at the marker's first place; absent without either.
    static std::optional<QString> quotedValue(const QString& feed, const QString& marker);
    // The feed's bytes (absent: not fetched) against the own build.
    static Outcome compare(const std::optional<QByteArray>& feed, qint32 ownBuild);

  private:
    Alerts& alerts_;
    UrlOpener& opener_;
    QString feedURL_;
    QString ownVersion_;
    qint32 ownBuild_;
    QString updaterPage_;
    Download download_;
};
