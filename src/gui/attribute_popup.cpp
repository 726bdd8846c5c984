// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/attribute_popup.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

AttributePopup::AttributePopup(QWidget* parent)
    : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint), label_(new QLabel(this)) {
    setObjectName(QStringLiteral("attributePopup"));
    setFrameShape(QFrame::Box);
    // The listing is aligned in columns.
    label_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label_->setTextFormat(Qt::PlainText);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addWidget(label_);
}

void AttributePopup::showText(const QString& text, const QPoint& globalPosition) {
    label_->setText(text);
    adjustSize();
    QPoint position = globalPosition;
    // Kept on the screen the mouse is on.
    if (const QScreen* screen = QGuiApplication::screenAt(globalPosition)) {
        const QRect area = screen->availableGeometry();
        position.setX(
            std::clamp(position.x(), area.left(), std::max(area.left(), area.right() - width())));
        position.setY(
            std::clamp(position.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    }
    move(position);
    show();
}

QString AttributePopup::text() const {
    return label_->text();
}
