// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

class QLabel;

// A drive's attribute listing in a small pop-up at the mouse; any click
// outside closes it.
class AttributePopup final : public QFrame {
  public:
    explicit AttributePopup(QWidget* parent = nullptr);
    void showText(const QString& text, const QPoint& globalPosition);
    QString text() const;

  private:
    QLabel* label_;
};
