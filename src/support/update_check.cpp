// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/update_check.h"

#include "ext/data.h"
#include "ext/text.h"
#include "ext/url.h"
#include "foundation/logging.h"

namespace {

bool onlyDigits(const QString& text) {
    for (const QChar character : text) {
        if (character < QLatin1Char('0') || character > QLatin1Char('9')) {
            return false;
        }
    }
    return true;
}

}  // namespace

UpdateCheck::UpdateCheck(Alerts& alerts, UrlOpener& opener, QString feedURL, QString ownVersion,
                         qint32 ownBuild, QString updaterPage, Download download)
    : alerts_(alerts),
      opener_(opener),
      feedURL_(std::move(feedURL)),
      ownVersion_(std::move(ownVersion)),
      ownBuild_(ownBuild),
      updaterPage_(std::move(updaterPage)),
      download_(std::move(download)) {
    if (!download_) {
        download_ = [](const QUrl& url) { return ::download(url); };
    }
}

std::optional<QString> UpdateCheck::quotedValue(const QString& feed, const QString& marker) {
    const QString opening = marker + QLatin1Char('"');
    const qsizetype start = feed.indexOf(opening);
    if (start < 0) {
        return std::nullopt;
    }
    const qsizetype from = start + opening.size();
    const qsizetype end = feed.indexOf(QLatin1Char('"'), from);
    if (end < 0) {
        return std::nullopt;
    }
    return feed.mid(from, end - from);
}

UpdateCheck::Outcome UpdateCheck::compare(const std::optional<QByteArray>& feed, qint32 ownBuild) {
    Outcome outcome;
    if (!feed) {
        return outcome;
    }
    const std::optional<QString> text = stringUTF8(*feed);
    if (!text) {
        return outcome;
    }
    const std::optional<QString> build = quotedValue(*text, QStringLiteral("sparkle:version="));
    if (!build || !onlyDigits(*build)) {
        return outcome;
    }
    // An empty value is build 0; digits beyond any build number are a fault.
    bool ok = true;
    const qint64 newest = build->isEmpty() ? 0 : build->toLongLong(&ok);
    if (!ok) {
        return outcome;
    }
    outcome.newestBuild = newest;
    if (ownBuild < newest) {
        outcome.kind = Outcome::Newer;
        outcome.newestVersion = quotedValue(*text, QStringLiteral("sparkle:shortVersionString="));
    } else {
        outcome.kind = Outcome::UpToDate;
    }
    return outcome;
}

void UpdateCheck::checkForUpdatesAction() {
    if (!configured()) {
        return;
    }
    const QUrl url(feedURL_);
    const Outcome outcome = compare(url.isValid() ? download_(url) : std::nullopt, ownBuild_);
    switch (outcome.kind) {
        case Outcome::Newer: {
            const QString message =
                localized(QStringLiteral(
                              "An Update is available. You have version '%1 (%2)' but the newest "
                              "version is '%3 (%4)'. Please use our 'Freshhold' to keep to update "
                              "to the newest version - it can also update your other apps!"))
                    .arg(ownVersion_, QString::number(ownBuild_),
                         outcome.newestVersion.value_or(QStringLiteral("(null)")),
                         QString::number(outcome.newestBuild));
            const int answer = alerts_.alert(localized(QStringLiteral("Update Available")), message,
                                             localized(QStringLiteral("Open Freshhold Homepage")),
                                             localized(QStringLiteral("Cancel")));
            if (answer == kAlertFirstButton && !updaterPage_.isEmpty()) {
                opener_.open(QUrl(updaterPage_));
            }
            break;
        }
        case Outcome::UpToDate:
            alerts_.alert(localized(QStringLiteral("No Update Available")),
                          localized(QStringLiteral("This app is fully up-to-date.")),
                          localized(QStringLiteral("Cool")));
            break;
        case Outcome::Failed:
            alerts_.alert(localized(QStringLiteral("Update Check Failed")),
                          localized(QStringLiteral("The update-check failed - please check your "
                                                   "internet connection and try again.")),
                          localized(QStringLiteral("OK")));
            break;
    }
}
