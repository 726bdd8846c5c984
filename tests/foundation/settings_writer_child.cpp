// SPDX-License-Identifier: GPL-3.0-or-later
// settings_writer_child PATH PREFIX COUNT: stores PREFIX<i> = i for i from 0
// (COUNT 0: until killed) and writes "i\n" to stdout after each store call
// returned, so the parent knows which writes must have survived.
#include "foundation/settings_store.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s PATH PREFIX COUNT\n", argv[0]);
        return 64;
    }
    SettingsStore store(QString::fromLocal8Bit(argv[1]));
    if (!store.isPersistent()) {
        return 2;
    }
    const QString prefix = QString::fromLocal8Bit(argv[2]);
    const long long count = std::atoll(argv[3]);
    for (long long i = 0; count == 0 || i < count; ++i) {
        if (!store.setValue(prefix + QString::number(i), i)) {
            return 3;
        }
        char line[32];
        const int n = std::snprintf(line, sizeof line, "%lld\n", i);
        // Unbuffered, so an acknowledged write is on the pipe before the next one starts.
        if (::write(STDOUT_FILENO, line, size_t(n)) != n) {
            return 4;
        }
    }
    return 0;
}
