// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

class QSocketNotifier;

// One application per user session: the first instance listens on a local
// socket; a later one hands its reopen request over and ends. A plain Unix
// socket, so the idle program maps no Qt Network (and what it brings).
class SingleInstance final : public QObject {
    Q_OBJECT

  public:
    enum class Role { First, Handed, Failed };

    explicit SingleInstance(QString socketPath, QObject* parent = nullptr);
    ~SingleInstance() override;
    // $XDG_RUNTIME_DIR/ostrivane.socket, or a per-user name in the temporary folder.
    static QString defaultSocketPath();

    // Hands the request to a running instance; false when none answers.
    // Needs no application object, so a later launch ends before it builds one.
    static bool handOver(const QString& socketPath, bool rescue, int timeoutMs = 1000);

    // Hands `rescue` over to a running instance, or becomes the first one,
    // taking over the socket of an instance that is gone.
    Role start(bool rescue, int timeoutMs = 1000);
    // Stops listening and removes the socket, so that a new copy started
    // while this one quits becomes the first instance itself.
    void release();

  Q_SIGNALS:
    // A later instance asked to be reopened; `rescue` when it was told --show.
    void reopenRequested(bool rescue);

  private:
    struct Client;
    void acceptClients();
    void readClient(int fd);
    void dropClient(int fd);

    QString path_;
    int listener_ = -1;
    std::unique_ptr<QSocketNotifier> listening_;
    QHash<int, std::shared_ptr<Client>> clients_;
};
