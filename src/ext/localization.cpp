// SPDX-License-Identifier: GPL-3.0-or-later
#include "ext/localization.h"

#include "ext/formatting.h"
#include "ext/text.h"
#include "foundation/logging.h"
#include "foundation/wendle_lib.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QMutex>
#include <QTranslator>

#include <memory>

namespace {

// Replaces the translator of this slot; none is left when the locale has no
// file, so switching back to English removes the previous language's texts.
bool replaceTranslator(QTranslator*& slot, const QLocale& locale, const QString& name,
                       const QString& folder) {
    if (slot != nullptr) {
        QCoreApplication::removeTranslator(slot);
        delete slot;
        slot = nullptr;
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, name, QStringLiteral("_"), folder)) {
        return false;
    }
    slot = translator.release();
    return QCoreApplication::installTranslator(slot);
}

}  // namespace

bool install_translation(const QLocale& locale) {
    static QMutex mutex;
    static QTranslator* own = nullptr;
    static QTranslator* qt = nullptr;
    const QMutexLocker lock(&mutex);
    // Qt's own texts (standard buttons, the option parser's errors) come from
    // the distribution's Qt translations, when they are installed.
    replaceTranslator(qt, locale, QStringLiteral("qtbase"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return replaceTranslator(own, locale, QStringLiteral("ostrivane"),
                             WendleLib::shared().resDir() + QStringLiteral("/translations"));
}

QString localized(const QString& key) {
    const QByteArray utf8 = key.toUtf8();
    return QCoreApplication::translate(kLocalizationContext, utf8.constData());
}
