// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widget_test_support.h"

#include "support/alert_panel.h"

#include <QList>
#include <QString>

#include <functional>

// Answers every panel as told, and keeps the panels it was shown.
class ScriptedRunner final : public AlertRunner {
  public:
    AlertAnswer run(const AlertPanel& panel) override {
        panels.append(panel);
        AlertAnswer reply = answer;
        if (edit) {
            edit(panel, reply);
        }
        return reply;
    }

    AlertAnswer answer;
    std::function<void(const AlertPanel&, AlertAnswer&)> edit;
    QList<AlertPanel> panels;
};
