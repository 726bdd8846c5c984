// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/progress_sheets.h"

#include "ext/text.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QThread>

namespace {

enum class Kind { Plain, Counted, Extended };

struct Names {
    const char* sheet;
    const char* indicator;
    const char* detail1;
    const char* detail2;
};

Names namesOf(Kind kind) {
    switch (kind) {
        case Kind::Plain:
            return {"WDProgressSheet", "WDProgressIndicator", "WDProgressDetailInfo", nullptr};
        case Kind::Counted:
            return {"WDCountedProgressSheet", "WDCountedProgressIndicator",
                    "WDCountedProgressDetailInfo", nullptr};
        case Kind::Extended:
            break;
    }
    return {"WDExtendedProgressSheet", "WDExtendedProgressIndicator",
            "WDExtendedProgressDetailInfo1", "WDExtendedProgressDetailInfo2"};
}

void onMain(QWidget* window, std::function<void(QWidget*)> work) {
    QPointer<QWidget> guarded(window);
    auto run = [guarded, work = std::move(work)] {
        if (guarded) {
            work(guarded.data());
        }
    };
    // Always queued, even on the main thread, so calls keep their order.
    QMetaObject::invokeMethod(QCoreApplication::instance(), run, Qt::QueuedConnection);
}

template <typename T>
T* part(QWidget* window, const char* name) {
    return name == nullptr ? nullptr : qobject_cast<T*>(window->property(name).value<QObject*>());
}

void store(QWidget* window, const char* name, QObject* value) {
    if (name != nullptr) {
        window->setProperty(name, QVariant::fromValue(value));
    }
}

QLabel* label(QWidget* parent, const QRect& geometry) {
    auto* text = new QLabel(parent);
    text->setGeometry(geometry);
    text->setAlignment(Qt::AlignCenter);
    text->setTextInteractionFlags(Qt::NoTextInteraction);
    return text;
}

void bringToFront(QWidget* window) {
    window->raise();
    window->activateWindow();
}

void begin(QWidget* window, Kind kind, const QString& message) {
    const Names names = namesOf(kind);
    if (part<QDialog>(window, names.sheet) != nullptr) {
        return;  // one sheet of a kind per window
    }
    const bool extended = kind == Kind::Extended;
    const int width = extended ? 500 : 400;
    const int height = extended ? 150 : 120;
    auto* sheet = new QDialog(window, Qt::Sheet | Qt::WindowTitleHint);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->setFixedSize(width, height);
    // Laid out from the top: a label at y (from the bottom) of height 17.
    auto rect = [height](int x, int y, int w, int h) { return QRect(x, height - y - h, w, h); };
    QLabel* title = label(sheet, rect(18, extended ? 120 : 90, width - 36, 17));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setText(message);
    QLabel* detail = label(sheet, rect(18, extended ? 95 : 65, width - 36, 17));
    QLabel* detail2 = nullptr;
    if (extended) {
        detail2 = label(sheet, rect(18, 65, width - 36, 17));
        QFont small = detail2->font();
        small.setPointSize(8);
        detail2->setFont(small);
    }
    QLabel* footer = label(sheet, rect(18, 14, width - 36, 17));
    footer->setText(localized(QStringLiteral("Please wait until the operation finishes…")));
    auto* bar = new QProgressBar(sheet);
    bar->setGeometry(rect(20, 41, width - 40, 20));
    bar->setTextVisible(false);
    if (kind == Kind::Counted) {
        bar->setRange(0, 100);
        bar->setValue(0);
    } else {
        bar->setRange(0, 0);  // busy
    }
    store(window, names.sheet, sheet);
    store(window, names.indicator, bar);
    store(window, names.detail1, detail);
    store(window, names.detail2, detail2);
    bringToFront(window);
    sheet->show();
}

void end(QWidget* window, Kind kind, bool activate) {
    const Names names = namesOf(kind);
    QDialog* sheet = part<QDialog>(window, names.sheet);
    if (sheet == nullptr) {
        return;
    }
    if (activate) {
        bringToFront(window);
    }
    for (const char* name : {names.sheet, names.indicator, names.detail1, names.detail2}) {
        if (name != nullptr) {
            window->setProperty(name, QVariant());
        }
    }
    sheet->close();
}

void setDetail(QWidget* window, const char* name, const QString& text) {
    if (QLabel* detail = part<QLabel>(window, name)) {
        detail->setText(text);
    }
}

}  // namespace

namespace ProgressSheets {

void beginProgress(QWidget* window, const QString& message) {
    onMain(window, [message](QWidget* w) { begin(w, Kind::Plain, message); });
}

void setProgressMessage(QWidget* window, const QString& text) {
    onMain(window, [text](QWidget* w) { setDetail(w, "WDProgressDetailInfo", text); });
}

void endProgress(QWidget* window) {
    onMain(window, [](QWidget* w) { end(w, Kind::Plain, true); });
}

void beginCountedProgress(QWidget* window, const QString& message) {
    onMain(window, [message](QWidget* w) { begin(w, Kind::Counted, message); });
}

void setCountedProgress(QWidget* window, const QString& text, double value) {
    onMain(window, [text, value](QWidget* w) {
        setDetail(w, "WDCountedProgressDetailInfo", text);
        if (auto* bar = part<QProgressBar>(w, "WDCountedProgressIndicator")) {
            bar->setValue(qRound(value));
        }
    });
}

void endCountedProgress(QWidget* window) {
    onMain(window, [](QWidget* w) { end(w, Kind::Counted, true); });
}

void beginExtendedProgress(QWidget* window, const QString& message) {
    onMain(window, [message](QWidget* w) { begin(w, Kind::Extended, message); });
}

void setExtendedProgressMessage(QWidget* window, const QString& text) {
    onMain(window, [text](QWidget* w) { setDetail(w, "WDExtendedProgressDetailInfo1", text); });
}

void setExtendedProgressDetail(QWidget* window, const QString& text) {
    onMain(window, [text](QWidget* w) {
        if (QLabel* detail = part<QLabel>(w, "WDExtendedProgressDetailInfo2")) {
            detail->setText(
                detail->fontMetrics().elidedText(text, Qt::ElideMiddle, detail->width()));
        }
    });
}

void endExtendedProgress(QWidget* window, bool activate) {
    onMain(window, [activate](QWidget* w) { end(w, Kind::Extended, activate); });
}

}  // namespace ProgressSheets
