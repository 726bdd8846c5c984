// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/check_cycle_services.h"

#include <QDateTime>
#include <QString>

#include <functional>

// Shows the rating window with its question; the headless shell has none.
class RatingPresenter {
  public:
    virtual ~RatingPresenter() = default;
    virtual void showRatingWindow(const QString& questionText) = 0;
};

// Counts the application's uses in the settings store and decides when the
// rating window appears: once per version, after enough uses of it, at most
// every 98 days, never after the user turned it off.
class DXUsageCounting final : public UsageCounter {
  public:
    DXUsageCounting(QString appName, QString appVersion, RatingPresenter& presenter,
                    std::function<QDateTime()> now = &QDateTime::currentDateTimeUtc);

    void increaseUsagesBy(int uses, int allowRatingsWith, int requestFeedbackWith,
                          const QString& feedbackText, bool allowFeedbackNow,
                          bool forceFeedbackNow) override;

    int minimumUsagesForRating() const { return minimumUsagesForRating_; }
    bool isRateable() const;

    static constexpr qint64 kAskAgainSeconds = 8'467'200;  // 98 days

  private:
    QString appName_;
    QString appVersion_;
    RatingPresenter& presenter_;
    std::function<QDateTime()> now_;
    int minimumUsagesForRating_ = 0;
};
