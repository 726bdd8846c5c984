// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// The operating system's log as the logging facility needs it: write one
// message of a type, if that type is enabled.
class SystemLog {
  public:
    enum class Type { Fault, Error, Default, Debug };

    virtual ~SystemLog() = default;
    virtual bool isEnabled(Type type) = 0;
    virtual void write(Type type, const QByteArray& utf8) = 0;
};
