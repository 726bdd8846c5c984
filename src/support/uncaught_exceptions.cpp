// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/uncaught_exceptions.h"

#include "ext/date.h"
#include "foundation/defaults.h"
#include "foundation/logging.h"

#include <QStringList>

#include <cxxabi.h>
#include <execinfo.h>

#include <atomic>
#include <cstdlib>
#include <exception>
#include <memory>
#include <typeinfo>

namespace UncaughtExceptions {

namespace {

constexpr int kMaxFrames = 64;

std::function<void(const QString&, const QString&)>& fatalAction() {
    static std::function<void(const QString&, const QString&)> action;
    return action;
}

QString demangled(const char* name) {
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> readable(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), &std::free);
    return QString::fromLocal8Bit(status == 0 && readable ? readable.get() : name);
}

QString callStack() {
    void* frames[kMaxFrames];
    const int count = backtrace(frames, kMaxFrames);
    const std::unique_ptr<char*, decltype(&std::free)> symbols(backtrace_symbols(frames, count),
                                                               &std::free);
    QStringList lines;
    for (int index = 0; symbols && index < count; ++index) {
        lines << QStringLiteral("    %1").arg(QString::fromLocal8Bit(symbols.get()[index]));
    }
    return QStringLiteral("(\n%1\n)").arg(lines.join(QStringLiteral(",\n")));
}

[[noreturn]] void onTerminate() {
    // A second failure while handling the first must not loop.
    static std::atomic<bool> entered{false};
    if (entered.exchange(true)) {
        std::_Exit(1);
    }
    QString type = QStringLiteral("std::terminate");
    QString reason = QStringLiteral("called without an active exception");
    if (const std::exception_ptr current = std::current_exception()) {
        const std::type_info* thrown = abi::__cxa_current_exception_type();
        type = thrown != nullptr ? demangled(thrown->name()) : QStringLiteral("unknown");
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& exception) {
            reason = QString::fromUtf8(exception.what());
        } catch (...) {
            reason = QStringLiteral("an object that is no std::exception");
        }
    }
    handle_uncaught_exception(type, reason, callStack());
    std::_Exit(1);
}

}  // namespace

void append_to_defaults_list(const QString& key, const QString& entry, int maximum) {
    const QVariant value = defaultObject(key);
    QVariantList list = value.typeId() == QMetaType::QVariantList ? value.toList() : QVariantList();
    list.append(entry);
    while (list.size() > maximum && !list.isEmpty()) {
        list.removeFirst();
    }
    setDefaultArray(key, list);
}

QString details(const QString& type, const QString& reason, const QString& stack) {
    // No user-info dictionary on this platform: its description is empty.
    return QStringLiteral(" %1 %2 %3 %4").arg(type, reason, QStringLiteral("{}"), stack);
}

QString record(const QDateTime& when, const QString& details) {
    return QStringLiteral("Date: %1 Exception:%2").arg(shortDateAndTimeString(when), details);
}

void handle_uncaught_exception(const QString& type, const QString& reason, const QString& stack) {
    const QString text = details(type, reason, stack);
    append_to_defaults_list(QStringLiteral("wendlelib_exception_info"),
                            record(QDateTime::currentDateTime(), text), kKeptRecords);
    log_message(2, QStringLiteral("Error: uncaught exception%1").arg(text));
    if (fatalAction()) {
        fatalAction()(type, text);
    }
}

void install(std::function<void(const QString& title, const QString& details)> failFatally) {
    fatalAction() = std::move(failFatally);
    // Resolved now: the first backtrace loads the unwinder, which is no
    // work for a failing process.
    void* frame = nullptr;
    backtrace(&frame, 1);
    std::set_terminate(&onTerminate);
}

}  // namespace UncaughtExceptions
