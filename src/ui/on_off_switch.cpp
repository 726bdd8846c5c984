// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/on_off_switch.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace {

constexpr qreal kRadius = 2.5;
constexpr qreal kThumbShare = 0.45;

QRectF insetTrack(const QRectF& frame) {
    return frame.adjusted(1, 1, -1, -1);
}

QPainterPath roundedPath(const QRectF& rect) {
    QPainterPath path;
    path.addRoundedRect(rect, kRadius, kRadius);
    return path;
}

// Assistive technology sees the switch as the check box it stands in for.
class AccessibleSwitch final : public QAccessibleWidget {
  public:
    explicit AccessibleSwitch(OnOffSwitch* button)
        : QAccessibleWidget(button, QAccessible::CheckBox) {}

    OnOffSwitch* button() const { return static_cast<OnOffSwitch*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            const QString name = button()->accessibleName();
            return name.isEmpty() ? button()->text() : name;
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->checkState() == Qt::Checked;
        state.checkStateMixed = button()->checkState() == Qt::PartiallyChecked;
        return state;
    }

    QStringList actionNames() const override {
        return button()->isEnabled() ? QStringList{toggleAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        if (name == toggleAction() && button()->isEnabled()) {
            button()->click();
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* accessibleSwitchFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("OnOffSwitch") && object != nullptr && object->isWidgetType()) {
        return new AccessibleSwitch(static_cast<OnOffSwitch*>(object));
    }
    return nullptr;
}

}  // namespace

OnOffSwitch::OnOffSwitch(QWidget* parent) : QAbstractButton(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleSwitchFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

OnOffSwitch::~OnOffSwitch() = default;

QSize OnOffSwitch::sizeHint() const {
    const int height = std::max(20, fontMetrics().height() + 4);
    return {height * 2 + 8, height};
}

QSize OnOffSwitch::minimumSizeHint() const {
    return sizeHint();
}

void OnOffSwitch::setCheckState(Qt::CheckState state) {
    if (state == Qt::PartiallyChecked && !allowsMixed_) {
        state = Qt::Checked;
    }
    if (state == state_) {
        return;
    }
    const bool wasChecked = isChecked();
    state_ = state;
    {
        // Keeps QAbstractButton's notion in step; checkStateSet must not undo mixed.
        const QSignalBlocker blocker(this);
        QAbstractButton::setChecked(state == Qt::Checked);
        state_ = state;
    }
    update();
    QAccessibleStateChangeEvent event(this, [] {
        QAccessible::State changed;
        changed.checked = true;
        changed.checkStateMixed = true;
        return changed;
    }());
    QAccessible::updateAccessibility(&event);
    if (wasChecked != isChecked()) {
        Q_EMIT toggled(isChecked());
    }
    Q_EMIT checkStateChanged(state);
}

void OnOffSwitch::setAllowsMixedState(bool allowed) {
    allowsMixed_ = allowed;
    if (!allowed && state_ == Qt::PartiallyChecked) {
        setCheckState(Qt::Checked);
    }
}

void OnOffSwitch::checkStateSet() {
    // setChecked from outside (or a button group): mixed gives way.
    const Qt::CheckState wanted = isChecked() ? Qt::Checked : Qt::Unchecked;
    if (state_ != wanted && !(state_ == Qt::PartiallyChecked && !isChecked())) {
        state_ = wanted;
        update();
        Q_EMIT checkStateChanged(state_);
    }
}

void OnOffSwitch::nextCheckState() {
    // As a check box: off -> on; with mixed allowed on -> off -> mixed -> on.
    switch (state_) {
        case Qt::Unchecked:
            setCheckState(allowsMixed_ ? Qt::PartiallyChecked : Qt::Checked);
            break;
        case Qt::PartiallyChecked:
            setCheckState(Qt::Checked);
            break;
        case Qt::Checked:
            setCheckState(Qt::Unchecked);
            break;
    }
}

void OnOffSwitch::setStateByUser(Qt::CheckState state) {
    setCheckState(state);
    Q_EMIT clicked(state == Qt::Checked);
}

QRectF OnOffSwitch::thumbRectInFrame(const QRectF& frame, Qt::CheckState state) {
    const QRectF track = insetTrack(frame);
    const qreal width = track.width() * kThumbShare;
    qreal x = track.x();
    if (state == Qt::Checked) {
        x = track.x() + track.width() - width;
    } else if (state == Qt::PartiallyChecked) {
        x = track.x() + (track.width() - width) / 2;
    }
    return {x, track.y(), width, track.height()};
}

QRectF OnOffSwitch::draggedThumb() const {
    const QRectF track = insetTrack(rect());
    QRectF thumb = thumbRectInFrame(rect(), state_);
    const qreal left = std::clamp(thumb.x() + trackingPoint_.x() - initialTrackingPoint_.x(),
                                  track.x(), track.x() + track.width() - thumb.width());
    thumb.moveLeft(left);
    return thumb;
}

bool OnOffSwitch::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void OnOffSwitch::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QAbstractButton::mousePressEvent(event);
        return;
    }
    tracking_ = true;
    initialTrackingPoint_ = trackingPoint_ = event->position();
    trackingTime_ = event->timestamp();
    setDown(true);
    if (focusPolicy() & Qt::ClickFocus) {
        setFocus(Qt::MouseFocusReason);
    }
    event->accept();
}

void OnOffSwitch::mouseMoveEvent(QMouseEvent* event) {
    if (!tracking_) {
        QAbstractButton::mouseMoveEvent(event);
        return;
    }
    trackingPoint_ = event->position();
    update();
    event->accept();
}

void OnOffSwitch::mouseReleaseEvent(QMouseEvent* event) {
    if (!tracking_ || event->button() != Qt::LeftButton) {
        QAbstractButton::mouseReleaseEvent(event);
        return;
    }
    trackingPoint_ = event->position();
    const QRectF thumb = draggedThumb();
    tracking_ = false;
    setDown(false);
    event->accept();
    // Signed on purpose: any quick move to the left is still a click.
    const QPointF moved = trackingPoint_ - initialTrackingPoint_;
    if (event->timestamp() - trackingTime_ < kStickyMilliseconds && moved.x() < kStickyDistance &&
        moved.y() < kStickyDistance) {
        click();
        return;
    }
    const qreal ratio = thumb.center().x() / qreal(width());
    Qt::CheckState wanted = Qt::Checked;
    if (allowsMixed_) {
        wanted = ratio < 1.0 / 3    ? Qt::Unchecked
                 : ratio >= 2.0 / 3 ? Qt::Checked
                                    : Qt::PartiallyChecked;
    } else if (ratio < 0.5) {
        wanted = Qt::Unchecked;
    }
    setStateByUser(wanted);
    update();
}

void OnOffSwitch::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        event->accept();  // acted on when released
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void OnOffSwitch::keyReleaseEvent(QKeyEvent* event) {
    const bool right = event->key() == Qt::Key_Right;
    if (!right && event->key() != Qt::Key_Left) {
        QAbstractButton::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat()) {
        return;
    }
    const Qt::CheckState end = right ? Qt::Checked : Qt::Unchecked;
    if (state_ == end) {
        QApplication::beep();
        return;
    }
    if (state_ == Qt::PartiallyChecked) {
        setStateByUser(end);
        return;
    }
    setStateByUser(allowsMixed_ ? Qt::PartiallyChecked : end);
}

void OnOffSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QRectF track = insetTrack(frame);
    const QPainterPath trackPath = roundedPath(track);

    QLinearGradient fill(track.topLeft(), track.bottomLeft());
    fill.setColorAt(0, QColor::fromRgbF(0.5, 0.5, 0.5));
    fill.setColorAt(1, QColor::fromRgbF(2.0 / 3, 2.0 / 3, 2.0 / 3));
    painter.fillPath(trackPath, fill);
    // The "on" side carries the highlight colour, so the state reads at a glance.
    if (state_ != Qt::Unchecked) {
        QColor on = palette().color(QPalette::Highlight);
        on.setAlphaF(state_ == Qt::Checked ? 0.85 : 0.4);
        painter.fillPath(trackPath, on);
    }
    painter.setPen(QPen(QColor::fromRgbF(0.125, 0.125, 0.125), 1));
    painter.drawPath(trackPath);

    // Inner shadow along the top edge.
    painter.save();
    painter.setClipPath(roundedPath(frame));
    QLinearGradient shadow(frame.topLeft(), frame.topLeft() + QPointF(0, 4));
    shadow.setColorAt(0, QColor::fromRgbF(0, 0, 0, 0.35));
    shadow.setColorAt(1, QColor::fromRgbF(0, 0, 0, 0));
    painter.fillRect(QRectF(frame.x(), frame.y(), frame.width(), 4), shadow);
    painter.restore();

    painter.save();
    painter.setClipPath(trackPath);
    const QRectF thumb = tracking_ ? draggedThumb() : thumbRectInFrame(frame, state_);
    const QPainterPath thumbPath = roundedPath(thumb);
    for (int blur = 3; blur > 0; --blur) {
        painter.fillPath(roundedPath(thumb.adjusted(-blur, -blur / 2.0, blur, blur / 2.0)),
                         QColor::fromRgbF(0, 0, 0, 0.5 / 6));
    }
    QLinearGradient face(thumb.topLeft(), thumb.bottomLeft());
    face.setColorAt(0, QColor::fromRgbF(1, 1, 1));
    face.setColorAt(1, QColor::fromRgbF(0.9, 0.9, 0.9));
    painter.fillPath(thumbPath, face);
    painter.restore();

    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(roundedPath(thumb.adjusted(1, 1, -1, -1)));
    }
    if (!isEnabled()) {
        painter.setCompositionMode(QPainter::CompositionMode_Lighten);
        painter.fillRect(rect(), QColor::fromRgbF(1, 1, 1, 2.0 / 3));
    }
}
