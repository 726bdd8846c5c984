// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QAbstractButton;
class QLabel;

// Small helpers the panes use on widgets.
namespace WidgetExtensions {

// The widget itself when it is a T, else the first T below it, depth first in
// child order; nullptr when there is none.
template <typename T>
T* viewWithClass(QWidget* view) {
    if (view == nullptr) {
        return nullptr;
    }
    if (T* self = qobject_cast<T*>(view)) {
        return self;
    }
    for (QObject* child : view->children()) {
        if (auto* widget = qobject_cast<QWidget*>(child)) {
            if (T* found = viewWithClass<T>(widget)) {
                return found;
            }
        }
    }
    return nullptr;
}

// The widget followed by all widgets below it, depth first in child order.
QList<QWidget*> allSubviews(QWidget* view);
// The first widget (itself included) whose "tag" property is the number.
QWidget* viewWithTag(QWidget* view, int tag);

// The action of a button created in code; a second call replaces the first.
void setActionBlock(QAbstractButton* button, std::function<void(QObject* sender)> block);

// The image scaled to the size with smooth interpolation; a null image logs
// "Error: Image To Resize is Invalid" and gives a null image.
QImage resizedImage(const QImage& image, const QSize& size);

// Shrinks the label's font a point at a time until its text fits its width
// (never below kMinimumPointSize). Returns the size chosen.
int adjustFontSize(QLabel* label);
inline constexpr int kMinimumPointSize = 6;

}  // namespace WidgetExtensions
