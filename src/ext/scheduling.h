// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where work runs. The main queue is the Qt event loop of the thread that
// created the QCoreApplication; the background queue is Qt's global thread
// pool. Every function may be called from any thread.

#include <functional>

// Runs the action on the main thread after the delay (seconds; 0 or less:
// as soon as the event loop gets to it). Actions with the same delay run in
// the order they were scheduled. Without a QCoreApplication the action is
// dropped and logged.
void run_on_main_after(float seconds, std::function<void()> action);
// Runs the action on a thread of the global pool, without waiting.
void run_in_background(std::function<void()> action);
// Runs the action on a thread of the global pool and waits until it ended.
// The waiting thread runs no events meanwhile, so nothing can re-enter it.
// Called from a pool thread, the action runs right there: queueing it behind
// busy pool threads that may themselves be waiting could deadlock.
void run_in_background_and_wait(std::function<void()> action);
// Waits until every action given to the background queue has ended. For the
// owner of what those actions use, before it goes away; never from a pool
// thread.
void wait_for_background();

// True on the thread that runs the main event loop.
bool is_main_thread();
