#include "app/app_resources.h"

#include <QAccessible>
#include <QCoreApplication>
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
    return translator;
}

}  // namespace barquill::app
