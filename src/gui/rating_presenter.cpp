// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/rating_presenter.h"

void DesktopRatingPresenter::showRatingWindow(const QString& questionText) {
    if (window_.isNull()) {
        window_ = new DXRatingWindowController(alerts_, mail_, info_);
        window_->setCloseBlock([this] { window_.clear(); });
    }
    window_->showWithQuestion(questionText);
}
