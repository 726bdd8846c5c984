// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/access_advice_logger.h"

#include "disks/drive_access.h"
#include "foundation/logging.h"

void AccessAdviceLogger::log_message(int level, const QString& text) {
    ::log_message(level, text);
    if (!told_ && text == smartAccessAdvice()) {
        told_ = true;
        if (tellUser_) {
            QString advice = text;
            tellUser_(advice.remove(QStringLiteral("Error: ")));
        }
    }
}
