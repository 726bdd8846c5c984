// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/localization.h"

#include "ext/formatting.h"
#include "ext/text.h"
#include "foundation/logging.h"
#include "foundation/wendle_lib.h"

#include <QCoreApplication>
#include <QMutex>
#include <QTranslator>

bool install_translation(const QLocale& locale) {
    static QMutex mutex;
    static QTranslator* installed = nullptr;
    const QString folder = WendleLib::shared().resDir() + QStringLiteral("/translations");
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("ostrivane"), QStringLiteral("_"), folder)) {
        return false;
    }
    const QMutexLocker lock(&mutex);
    if (installed != nullptr) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    installed = translator.release();
    return QCoreApplication::installTranslator(installed);
}

QString localized(const QString& key) {
    const QByteArray utf8 = key.toUtf8();
    return QCoreApplication::translate(kLocalizationContext, utf8.constData());
}
