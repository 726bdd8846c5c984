// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/usage_counting.h"
#include "support/rating_window.h"

#include <QPointer>
#include <QVariantMap>

class Alerts;
class SupportMail;

// The desktop's rating window: one at a time, a fresh one after it closed.
class DesktopRatingPresenter final : public RatingPresenter {
  public:
    DesktopRatingPresenter(Alerts& alerts, SupportMail& mail, QVariantMap info)
        : alerts_(alerts), mail_(mail), info_(std::move(info)) {}
    ~DesktopRatingPresenter() override { delete window_.data(); }

    void showRatingWindow(const QString& questionText) override;
    DXRatingWindowController* ratingWindowController() const { return window_.data(); }

  private:
    Alerts& alerts_;
    SupportMail& mail_;
    QVariantMap info_;
    QPointer<DXRatingWindowController> window_;
};
