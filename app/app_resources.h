#pragma once
// The built-in resources (icons, translations) and the choice of language.

#include <QLocale>

class QTranslator;

namespace barquill::app {

// Makes the icons and translations available and names the level box for
// assistive technology; idempotent.
void loadResources();

// Chinese locales get the original Chinese captions, every other locale the
// English ones. Installs the translator into the application and returns
// it, or null when English (the source language) is shown.
QTranslator* installTranslations(const QLocale& locale);

}  // namespace barquill::app
