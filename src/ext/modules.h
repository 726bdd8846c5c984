// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

// Parts of the program built as shared modules in the installation's private
// library folder (WendleLib::privateLibDir), so that a process that never
// needs one never maps it nor the libraries it brings: Qt Network brings
// Kerberos, libproxy and brotli; Qt D-Bus brings libdbus and libsystemd. For
// the background monitor that is a fifth of its memory. A module is loaded on
// first use and stays loaded.

// The function `entry` of the module `name` (the file lib<name>.so); null when
// the module cannot be loaded or lacks the function, which is logged once.
// Safe from any thread.
QFunctionPointer moduleEntry(const QString& name, const char* entry);

// The instance a module's entry function (taking nothing, returning a
// pointer to an instance living as long as the process) hands out, asked
// once per process; null when the module cannot be loaded.
template <typename Interface>
Interface* moduleInstance(const QString& name, const char* entry) {
    using Entry = Interface* (*)();
    const auto function = reinterpret_cast<Entry>(moduleEntry(name, entry));
    return function != nullptr ? function() : nullptr;
}
