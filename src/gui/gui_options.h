// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

// The command line of `ostrivane`.
struct GuiOptions {
    QString machine;
    std::optional<std::string> socketPath;
    // Open the main window, bringing back a hidden application.
    bool show = false;
    bool help = false;
    bool version = false;

    // Absent with `error` set when the arguments are wrong (exit status 64).
    static std::optional<GuiOptions> parse(const QStringList& arguments, QString& error);
    static const char* const kHelp;
    static constexpr int kUsageError = 64;
};
