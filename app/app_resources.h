// SPDX-License-Identifier: MIT
#pragma once
// The built-in resources (icons, translations) and the choice of language.

#include <QLocale>

class QTranslator;

namespace barquill::app {

// Makes the icons and translations available and the named combo boxes
// known to assistive technology; idempotent.
void loadResources();

// Chinese locales get the window in Simplified Chinese (the original's own
// Chinese captions among it), every other locale English. Installs the
// translator into the application and returns it, or null when English
// (the source language) is shown.
QTranslator* installTranslations(const QLocale& locale);

// The locale of the language the window speaks, whose digits and
// separators the messages use: a German desktop with the English window
// gets "8,000 bytes", not "8.000 bytes".
QLocale uiLocale();

}  // namespace barquill::app
