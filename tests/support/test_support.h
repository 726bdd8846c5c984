// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The test program's own folders (HOME and XDG_* point below it) and log.
QString testRoot();
// Everything logged since the program started.
QString loggedText();

#include <QMutex>
#include <QStringList>

// Collects Qt's warnings and other messages (which would go to stderr) from
// every thread while it lives, and passes them on as before.
class QtMessageCapture {
  public:
    QtMessageCapture() {
        {
            QMutexLocker lock(&mutex());
            captured().clear();
        }
        previous_ = qInstallMessageHandler(&QtMessageCapture::handle);
    }
    ~QtMessageCapture() { qInstallMessageHandler(previous_); }
    QtMessageCapture(const QtMessageCapture&) = delete;
    QtMessageCapture& operator=(const QtMessageCapture&) = delete;

    QStringList messages() const {
        QMutexLocker lock(&mutex());
        return captured();
    }

  private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        {
            QMutexLocker lock(&mutex());
            captured().append(text);
        }
        if (previous_) {
            previous_(type, context, text);
        }
    }
    static QMutex& mutex() {
        static QMutex instance;
        return instance;
    }
    static QStringList& captured() {
        static QStringList instance;
        return instance;
    }
    inline static QtMessageHandler previous_ = nullptr;
};
