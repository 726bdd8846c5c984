// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/change_counter.h"

#include <QFile>

#include <atomic>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

ChangeCounter::~ChangeCounter() {
    close();
}

bool ChangeCounter::open(const QString& path) {
    close();
    const QByteArray name = QFile::encodeName(path);
    const int fd =
        ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    // Growing to 8 bytes is harmless when another process did it first.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        (info.st_size < qint64(sizeof(quint64)) && ::ftruncate(fd, sizeof(quint64)) != 0)) {
        ::close(fd);
        return false;
    }
    void* map = ::mmap(nullptr, sizeof(quint64), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED) {
        return false;
    }
    value_ = static_cast<quint64*>(map);
    return true;
}

void ChangeCounter::close() {
    if (value_ != nullptr) {
        ::munmap(value_, sizeof(quint64));
        value_ = nullptr;
    }
}

// Lock-free 64-bit atomics work on shared mappings between processes.
static_assert(std::atomic_ref<quint64>::is_always_lock_free);

quint64 ChangeCounter::load() const {
    return std::atomic_ref<quint64>(*value_).load(std::memory_order_acquire);
}

quint64 ChangeCounter::increment() {
    return std::atomic_ref<quint64>(*value_).fetch_add(1, std::memory_order_acq_rel);
}
