// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/scheduling.h"

#include "foundation/logging.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

thread_local bool tl_inPoolAction = false;

void startTimer(int ms, std::function<void()> action) {
    // A precise timer keeps actions with the same delay in scheduling order;
    // a coarse one may round two deadlines differently.
    QTimer::singleShot(ms, Qt::PreciseTimer, QCoreApplication::instance(), std::move(action));
}

}  // namespace

bool is_main_thread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

void run_on_main_after(float seconds, std::function<void()> action) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        log_message(3, QStringLiteral("Error: no event loop to run a scheduled action on"));
        return;
    }
    const double ms =
        std::isfinite(seconds) ? std::clamp(seconds * 1000.0, 0.0, 2147483647.0) : 0.0;
    const int delay = static_cast<int>(std::lround(ms));
    if (is_main_thread()) {
        startTimer(delay, std::move(action));
        return;
    }
    // A timer belongs to the thread that starts it; start it on the main one.
    QMetaObject::invokeMethod(
        app,
        [delay, action = std::move(action)]() mutable { startTimer(delay, std::move(action)); },
        Qt::QueuedConnection);
}

void run_in_background(std::function<void()> action) {
    QThreadPool::globalInstance()->start([action = std::move(action)] {
        tl_inPoolAction = true;
        action();
        tl_inPoolAction = false;
    });
}

void wait_for_background() {
    QThreadPool::globalInstance()->waitForDone();
}

void run_in_background_and_wait(std::function<void()> action) {
    if (tl_inPoolAction) {
        action();
        return;
    }
    QSemaphore done;
    QThreadPool::globalInstance()->start([&] {
        tl_inPoolAction = true;
        action();
        tl_inPoolAction = false;
        done.release();
    });
    done.acquire();
}
