// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reads a whole input file, or standard input for "-", up to a size limit.
// On failure returns nothing and sets error to a one-line reason.
std::optional<QByteArray> readInputFile(const QString& path, QString& error);
