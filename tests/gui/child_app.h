// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui_test_support.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

// A desktop program started as a child: offscreen, with the test's folders
// but a session of its own, watching the demo machine, its dialogs answered
// by its test trigger and told on its standard error.
class ChildApp {
  public:
    explicit ChildApp(const QString& program, int dialogAnswer = 1001) : program_(program) {
        QDir().mkpath(runtime_.path());
        QFile::setPermissions(runtime_.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment_.insert(QStringLiteral("OSTRIVANE_TEST_DIALOG_ANSWER"),
                            QString::number(dialogAnswer));
        environment_.insert(QStringLiteral("OSTRIVANE_TEST_ALLOW_ROOT"), QStringLiteral("1"));
        environment_.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        environment_.remove(QStringLiteral("OSTRIVANE_TEST_CRASH"));
    }
    ~ChildApp() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    void set(const QString& name, const QString& value) { environment_.insert(name, value); }
    QString runtimeDir() const { return runtime_.path(); }

    void start() {
        process_.setProcessEnvironment(environment_);
        process_.start(program_, {QStringLiteral("--machine"),
                                  QStringLiteral(OSTRIVANE_SOURCE_DIR "/resources/machines/demo")});
        process_.waitForStarted(10000);
    }
    bool finish(int milliseconds = 60000) { return process_.waitForFinished(milliseconds); }
    // Everything the child wrote to standard error so far.
    QString errors() {
        errors_ += QString::fromUtf8(process_.readAllStandardError());
        return errors_;
    }
    bool waitForError(const QString& text, int milliseconds = 30000) {
        return waitUntil(
            [&] {
                process_.waitForReadyRead(50);
                return errors().contains(text);
            },
            milliseconds);
    }
    QProcess& process() { return process_; }

  private:
    QString program_;
    QTemporaryDir runtime_;
    QProcessEnvironment environment_;
    QProcess process_;
    QString errors_;
};
