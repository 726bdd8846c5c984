// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/health_chart.h"

#include "ext/text.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kMargin = 8;
constexpr qreal kDay = 86400;

QString dateText(const QDateTime& time) {
    return QLocale().toString(time.toLocalTime().date(), QLocale::ShortFormat);
}

}  // namespace

QString projectionText(const HealthProjection& projection, int warning) {
    switch (projection.status) {
        case HealthProjection::Status::Projected:
            return localized(QStringLiteral("reaches the warning threshold (%1%) around %2"))
                .arg(warning)
                .arg(dateText(projection.warningDate));
        case HealthProjection::Status::Reached:
            return localized(QStringLiteral("at or below the warning threshold (%1%)"))
                .arg(warning);
        case HealthProjection::Status::NotEnoughHistory:
            break;
    }
    return localized(QStringLiteral("not enough history"));
}

HealthChart::HealthChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("healthChart"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor HealthChart::lineColor(int index) {
    // Far from the thresholds' orange and red, and apart from each other.
    static const QColor kColors[] = {QColor(0x1f, 0x6f, 0xc5), QColor(0x2e, 0x9d, 0x4a),
                                     QColor(0x8e, 0x44, 0xad), QColor(0x00, 0x9a, 0xa5),
                                     QColor(0x55, 0x55, 0x55), QColor(0xb0, 0x3a, 0x8c)};
    return kColors[index % int(std::size(kColors))];
}

void HealthChart::setLines(QList<Line> lines, int warning, int error) {
    lines_ = std::move(lines);
    warning_ = warning;
    error_ = error;
    firstTime_ = 0;
    lastTime_ = 0;
    bool any = false;
    for (const Line& line : lines_) {
        for (const QPointF& point : line.points) {
            firstTime_ = any ? std::min(firstTime_, point.x()) : point.x();
            lastTime_ = any ? std::max(lastTime_, point.x()) : point.x();
            any = true;
        }
    }
    // Room on the right for where the falling lines are heading: up to the
    // nearest projected date, but never more than the history's own span.
    const qreal span = std::max(lastTime_ - firstTime_, kDay);
    qreal end = lastTime_ + span / 4;
    for (const Line& line : lines_) {
        if (line.projection.status == HealthProjection::Status::Projected) {
            const qreal when = qreal(line.projection.warningDate.toSecsSinceEpoch());
            end = std::max(end, std::min(when + span / 20, lastTime_ + span));
        }
    }
    lastTime_ = std::max(end, firstTime_ + kDay);
    updateGeometry();
    update();
}

QStringList HealthChart::legendTexts() const {
    QStringList texts;
    for (const Line& line : lines_) {
        texts.append(line.label + QStringLiteral(": ") + projectionText(line.projection, warning_));
    }
    return texts;
}

int HealthChart::legendHeight() const {
    return int(lines_.size()) * (fontMetrics().height() + 2) + kMargin;
}

QRectF HealthChart::plotRect() const {
    const QFontMetrics metrics = fontMetrics();
    const qreal left = kMargin + metrics.horizontalAdvance(QStringLiteral("100%")) + 6;
    const qreal right = kMargin + 6 +
                        std::max(metrics.horizontalAdvance(localized(QStringLiteral("Warning")) +
                                                           QStringLiteral(" 100%")),
                                 metrics.horizontalAdvance(localized(QStringLiteral("Error")) +
                                                           QStringLiteral(" 100%")));
    const qreal top = kMargin + metrics.height() / 2.0;
    const qreal bottom = kMargin + metrics.height() + 4 + legendHeight();
    return QRectF(left, top, std::max<qreal>(width() - left - right, 10),
                  std::max<qreal>(height() - top - bottom, 10));
}

qreal HealthChart::yFor(qreal health) const {
    const QRectF plot = plotRect();
    return plot.bottom() - plot.height() * std::clamp<qreal>(health, 0, 100) / 100.0;
}

qreal HealthChart::xFor(qreal time) const {
    const QRectF plot = plotRect();
    return plot.left() + plot.width() * (time - firstTime_) / (lastTime_ - firstTime_);
}

void HealthChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics = fontMetrics();
    const QColor text = palette().color(QPalette::Text);
    if (lines_.isEmpty()) {
        painter.setPen(text);
        painter.drawText(rect(), Qt::AlignCenter,
                         localized(QStringLiteral("No health history recorded yet.")));
        return;
    }
    const QRectF plot = plotRect();

    // Grid and scale: every quarter of the health, and a date at either end.
    QColor grid = text;
    grid.setAlpha(40);
    for (int health = 0; health <= 100; health += 25) {
        const qreal y = yFor(health);
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(text);
        painter.drawText(QRectF(kMargin, y - metrics.height() / 2.0, plot.left() - kMargin - 4,
                                metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%1%").arg(health));
    }
    // Dates at both ends, and between them as many as fit apart.
    const qreal dateY = plot.bottom() + 4;
    const qreal dateWidth =
        metrics.horizontalAdvance(dateText(QDateTime::currentDateTimeUtc())) + 24;
    const int parts = std::clamp(int(plot.width() / (dateWidth * 1.5)), 1, 6);
    for (int part = 0; part <= parts; ++part) {
        const qreal x = plot.left() + plot.width() * part / parts;
        const QDateTime time = QDateTime::fromSecsSinceEpoch(
            qint64(firstTime_ + (lastTime_ - firstTime_) * part / parts), Qt::UTC);
        const Qt::Alignment along = part == 0       ? Qt::AlignLeft
                                    : part == parts ? Qt::AlignRight
                                                    : Qt::AlignHCenter;
        const qreal left = part == 0 ? x : part == parts ? x - dateWidth : x - dateWidth / 2;
        painter.setPen(grid);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(text);
        painter.drawText(QRectF(left, dateY, dateWidth, metrics.height()), along | Qt::AlignTop,
                         dateText(time));
    }

    // The thresholds, labelled at the right.
    const auto threshold = [&](int health, const QColor& color, const QString& name) {
        // Crisp, on whole pixels: a threshold is a line to read values against.
        const int y = qRound(yFor(health));
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(color, 2, Qt::DashLine));
        painter.drawLine(QPoint(int(plot.left()), y), QPoint(int(plot.right()), y));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(color);
        painter.drawText(QRectF(plot.right() + 4, y - metrics.height() / 2.0,
                                width() - plot.right() - 4, metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("%1 %2%").arg(name).arg(health));
    };
    threshold(warning_, warningColor(), localized(QStringLiteral("Warning")));
    threshold(error_, errorColor(), localized(QStringLiteral("Error")));

    painter.save();
    painter.setClipRect(plot.adjusted(-2, -2, 2, 2));
    for (int index = 0; index < lines_.size(); ++index) {
        const Line& line = lines_[index];
        if (line.points.isEmpty()) {
            continue;
        }
        QPainterPath path;
        path.moveTo(xFor(line.points.first().x()), yFor(line.points.first().y()));
        for (const QPointF& point : line.points) {
            path.lineTo(xFor(point.x()), yFor(point.y()));
        }
        painter.setPen(QPen(lineColor(index), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        if (line.points.size() == 1) {
            painter.setBrush(lineColor(index));
            painter.drawEllipse(
                QPointF(xFor(line.points.first().x()), yFor(line.points.first().y())), 2.5, 2.5);
        }
        if (line.projection.status == HealthProjection::Status::Projected) {
            // From the latest point to the crossing, dotted: a guess, not a record.
            const QPointF from(xFor(line.points.last().x()), yFor(line.points.last().y()));
            const QPointF to(xFor(qreal(line.projection.warningDate.toSecsSinceEpoch())),
                             yFor(warning_));
            painter.setPen(QPen(lineColor(index), 1.5, Qt::DotLine));
            painter.drawLine(from, to);
            painter.setPen(QPen(lineColor(index), 1.5));
            painter.setBrush(palette().base());
            painter.drawEllipse(to, 3.5, 3.5);
        }
    }
    painter.restore();

    // The legend: each drive's colour, name and projection.
    qreal y = dateY + metrics.height() + kMargin;
    const QStringList texts = legendTexts();
    for (int index = 0; index < texts.size(); ++index) {
        const qreal box = metrics.ascent() * 0.8;
        painter.fillRect(QRectF(plot.left(), y + (metrics.height() - box) / 2, box, box),
                         lineColor(index));
        painter.setPen(text);
        painter.drawText(
            QRectF(plot.left() + box + 6, y, width() - plot.left() - box - 6, metrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter,
            metrics.elidedText(texts[index], Qt::ElideMiddle,
                               int(width() - plot.left() - box - 6)));
        y += metrics.height() + 2;
    }
}
