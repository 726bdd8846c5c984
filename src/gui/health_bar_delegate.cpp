// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/health_bar_delegate.h"

#include "gui/ssd_table_model.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionProgressBar>

void HealthBarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const int health = index.data(SSDTableModel::HealthRole).toInt();
    if (health < 0 || health > 100) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionProgressBar bar;
    bar.rect = option.rect.adjusted(3, 3, -3, -3);
    bar.minimum = 0;
    bar.maximum = 100;
    bar.progress = health;
    bar.text = index.data(Qt::DisplayRole).toString();
    bar.textVisible = true;
    bar.textAlignment = Qt::AlignCenter;
    bar.state = option.state | QStyle::State_Horizontal;
    bar.palette = option.palette;
    // The bar takes the colour of the drive's state, as the icons do.
    switch (index.data(SSDTableModel::HealthStateRole).toInt()) {
        case 1:
            bar.palette.setColor(QPalette::Highlight, QColor(0xc6, 0x28, 0x28));
            break;
        case 2:
            bar.palette.setColor(QPalette::Highlight, QColor(0xe6, 0x7e, 0x00));
            break;
        default:
            bar.palette.setColor(QPalette::Highlight, QColor(0x2e, 0x7d, 0x32));
            break;
    }
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ProgressBar, &bar, painter, option.widget);
}

QSize HealthBarDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setWidth(std::max(size.width(), 120));
    return size;
}
