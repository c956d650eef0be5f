// SPDX-License-Identifier: MIT
#include "app/app_resources.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/level_box_accessible.h"

// Resources of a static library are registered by hand, outside any namespace.
static void registerResources() {
    Q_INIT_RESOURCE(barquill);
}

namespace barquill::app {

void loadResources() {
    static const bool loaded =
        (registerResources(), QAccessible::installFactory(namedComboBoxFactory), true);
    (void)loaded;
}

QTranslator* installTranslations(const QLocale& locale) {
    loadResources();
    if (locale.language() != QLocale::Chinese) return nullptr;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral(":/barquill/i18n/barquill_zh_CN.qm"))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    // Qt's own dialogs and standard buttons (Yes, No, Cancel, the file
    // dialog) in the same language; they go when the application's do.
    auto* qt = new QTranslator(translator);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    return translator;
}

QLocale uiLocale() {
    // Each translation names its own locale here, so the answer follows
    // whichever translation is installed.
    return QLocale(QCoreApplication::translate("barquill::app::Language", "en_US",
                                               "The locale of this translation, such as zh_CN"));
}

}  // namespace barquill::app
