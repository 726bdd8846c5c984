// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/usage_counting.h"

#include "foundation/defaults.h"

DXUsageCounting::DXUsageCounting(QString appName, QString appVersion, RatingPresenter& presenter,
                                 std::function<QDateTime()> now)
    : appName_(std::move(appName)),
      appVersion_(std::move(appVersion)),
      presenter_(presenter),
      now_(std::move(now)) {}

bool DXUsageCounting::isRateable() const {
    return minimumUsagesForRating_ >= 1 &&
           defaultInt(QStringLiteral("wendlelib_usages")) > minimumUsagesForRating_;
}

void DXUsageCounting::increaseUsagesBy(int uses, int allowRatingsWith, int requestFeedbackWith,
                                       const QString& feedbackText, bool allowFeedbackNow,
                                       bool forceFeedbackNow) {
    minimumUsagesForRating_ = allowRatingsWith;
    const QString versionUsages = QStringLiteral("wendlelib_%1_usages").arg(appVersion_);
    const QString versionAsked = QStringLiteral("wendlelib_%1_asked").arg(appVersion_);
    setDefaultInt(QStringLiteral("wendlelib_usages"),
                  defaultInt(QStringLiteral("wendlelib_usages")) + uses);
    setDefaultInt(versionUsages, defaultInt(versionUsages) + uses);
    if (!allowFeedbackNow) {
        return;
    }
    const QVariant askDate = defaultObject(QStringLiteral("wendlelib_askdate"));
    const QDateTime now = now_();
    const bool dateAllows = !askDate.canConvert<QDateTime>() || !askDate.toDateTime().isValid() ||
                            askDate.toDateTime().secsTo(now) > kAskAgainSeconds;
    const bool due = defaultInt(QStringLiteral("wendlelib_dontaskagain")) == 0 &&
                     defaultInt(versionAsked) == 0 &&
                     defaultInt(versionUsages) >= requestFeedbackWith && dateAllows;
    if (due) {
        setDefaultInt(versionAsked, 1);
        setDefaultObject(QStringLiteral("wendlelib_askdate"), now);
    } else if (!forceFeedbackNow) {
        return;
    }
    QString question = feedbackText;
    question.replace(QLatin1String("[USAGES_ASKREVIEW]"), QString::number(requestFeedbackWith));
    question.replace(QLatin1String("[APPNAME]"), appName_);
    presenter_.showRatingWindow(question);
}
