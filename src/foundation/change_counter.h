// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

// A 64-bit counter in a small shared file beside the settings database. Every
// writer of the store increments it after its commit, so a reader sees with
// one memory load whether anything changed since it last looked, instead of
// opening a SQLite read transaction (several file-lock system calls) per read.
class ChangeCounter {
  public:
    ChangeCounter() = default;
    ~ChangeCounter();
    ChangeCounter(const ChangeCounter&) = delete;
    ChangeCounter& operator=(const ChangeCounter&) = delete;

    // False when the file cannot be created or mapped; the store then reads
    // the database every time.
    bool open(const QString& path);
    void close();
    bool isOpen() const { return value_ != nullptr; }

    quint64 load() const;
    // Returns the value before the increment.
    quint64 increment();

  private:
    quint64* value_ = nullptr;
};
