// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>

// A two- or three-state switch in place of a check box: a track with a thumb
// that is clicked (toggles as a check box does), dragged to a side, or moved
// with the left and right arrow keys. Assistive technology sees a check box
// with the switch's state. The mixed state is used only when allowed.
class OnOffSwitch : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(Qt::CheckState checkState READ checkState WRITE setCheckState NOTIFY
                   checkStateChanged USER true)
    Q_PROPERTY(bool allowsMixedState READ allowsMixedState WRITE setAllowsMixedState)

  public:
    explicit OnOffSwitch(QWidget* parent = nullptr);
    ~OnOffSwitch() override;

    Qt::CheckState checkState() const { return state_; }
    // Mixed without allowsMixedState is taken as on.
    void setCheckState(Qt::CheckState state);
    bool allowsMixedState() const { return allowsMixed_; }
    // Turning it off turns a mixed switch on.
    void setAllowsMixedState(bool allowed);

    // The thumb for a frame: 45 % of the inset track, at the side of the state.
    static QRectF thumbRectInFrame(const QRectF& frame, Qt::CheckState state);
    // A press and release quicker than this, and moving less than
    // kStickyDistance, is a click even if the mouse moved.
    static constexpr int kStickyMilliseconds = 333;
    static constexpr qreal kStickyDistance = 6.0;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  Q_SIGNALS:
    // Every change of the state, by the user or in code.
    void checkStateChanged(Qt::CheckState state);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void nextCheckState() override;
    void checkStateSet() override;
    bool hitButton(const QPoint& pos) const override;

  private:
    // Sets the state and tells the user's change as a click.
    void setStateByUser(Qt::CheckState state);
    // The thumb while dragged: moved by the drag, never out of the track.
    QRectF draggedThumb() const;

    Qt::CheckState state_ = Qt::Unchecked;
    bool allowsMixed_ = false;
    bool tracking_ = false;
    QPointF initialTrackingPoint_;
    QPointF trackingPoint_;
    // When the mouse went down, in the events' milliseconds.
    quint64 trackingTime_ = 0;
};
