// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widget_extensions.h"

#include "foundation/logging.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>

namespace WidgetExtensions {

namespace {

const char* const kBlockWrapper = "ostrivaneActionBlock";

void collect(QWidget* view, QList<QWidget*>& into) {
    into.append(view);
    for (QObject* child : view->children()) {
        if (auto* widget = qobject_cast<QWidget*>(child)) {
            collect(widget, into);
        }
    }
}

}  // namespace

QList<QWidget*> allSubviews(QWidget* view) {
    QList<QWidget*> views;
    if (view != nullptr) {
        collect(view, views);
    }
    return views;
}

QWidget* viewWithTag(QWidget* view, int tag) {
    for (QWidget* candidate : allSubviews(view)) {
        const QVariant value = candidate->property("tag");
        if (value.isValid() && value.toInt() == tag) {
            return candidate;
        }
    }
    return nullptr;
}

void setActionBlock(QAbstractButton* button, std::function<void(QObject* sender)> block) {
    if (button == nullptr) {
        return;
    }
    // The block lives in a child of the button: it goes with the button, and
    // deleting it on replacement drops its connection too.
    delete button->findChild<QObject*>(QLatin1String(kBlockWrapper), Qt::FindDirectChildrenOnly);
    auto* wrapper = new QObject(button);
    wrapper->setObjectName(QLatin1String(kBlockWrapper));
    QObject::connect(button, &QAbstractButton::clicked, wrapper,
                     [button, block = std::move(block)] { block(button); });
}

QImage resizedImage(const QImage& image, const QSize& size) {
    if (image.isNull() || size.isEmpty()) {
        log_message(3, QStringLiteral("Error: Image To Resize is Invalid"));
        return {};
    }
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

int adjustFontSize(QLabel* label) {
    QFont font = label->font();
    int size = int(font.pointSizeF());
    for (;; --size) {
        font.setPointSize(size);
        if (size <= kMinimumPointSize ||
            QFontMetrics(font).horizontalAdvance(label->text()) <= label->width()) {
            break;
        }
    }
    label->setFont(font);
    return size;
}

}  // namespace WidgetExtensions
