// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/health_trend.h"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QWidget>

// Each drive's health over time as one line, the warning and error
// thresholds across, and where a falling line is heading. Painted directly:
// a chart library would cost more memory than the whole window.
class HealthChart final : public QWidget {
    Q_OBJECT

  public:
    struct Line {
        QString label;          // "Name (serial)"
        QList<QPointF> points;  // x: seconds since the epoch, y: health; oldest first
        HealthProjection projection;
    };

    explicit HealthChart(QWidget* parent = nullptr);

    void setLines(QList<Line> lines, int warning, int error);

    const QList<Line>& lines() const { return lines_; }
    // The text under the chart for each line, in order.
    QStringList legendTexts() const;
    // Where the plot lies and where a health value is drawn in it.
    QRectF plotRect() const;
    qreal yFor(qreal health) const;
    static QColor lineColor(int index);
    static QColor warningColor() { return QColor(0xe0, 0x8a, 0x00); }
    static QColor errorColor() { return QColor(0xc6, 0x28, 0x28); }

    QSize sizeHint() const override { return {640, 320}; }
    QSize minimumSizeHint() const override { return {320, 200}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    qreal xFor(qreal time) const;
    int legendHeight() const;

    QList<Line> lines_;
    int warning_ = 50;
    int error_ = 30;
    qreal firstTime_ = 0;
    qreal lastTime_ = 1;
};

// The legend's words for a projection: the date, or why there is none.
QString projectionText(const HealthProjection& projection, int warning);
