// SPDX-License-Identifier: MIT
#include "app/colour_check.h"

#include <QCoreApplication>
#include <array>

namespace barquill::app {

namespace {

struct NamedColour {
    const char* name;
    int red, green, blue;
};

// Names a listener knows without a colour chart.
constexpr std::array NAMED_COLOURS = {
    NamedColour{QT_TRANSLATE_NOOP("Colour", "black"), 0, 0, 0},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "white"), 255, 255, 255},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "grey"), 128, 128, 128},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "light grey"), 192, 192, 192},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "dark grey"), 64, 64, 64},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "red"), 255, 0, 0},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "dark red"), 128, 0, 0},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "green"), 0, 160, 0},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "dark green"), 0, 80, 0},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "blue"), 0, 0, 255},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "navy"), 0, 0, 128},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "yellow"), 255, 255, 0},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "cyan"), 0, 255, 255},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "magenta"), 255, 0, 255},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "orange"), 255, 165, 0},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "brown"), 139, 69, 19},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "purple"), 128, 0, 128},
    NamedColour{QT_TRANSLATE_NOOP("Colour", "pink"), 255, 192, 203},
};

}  // namespace

QString colourInWords(ColorRef color) {
    const int r = redOf(color), g = greenOf(color), b = blueOf(color);
    const NamedColour* nearest = &NAMED_COLOURS[0];
    long best = -1;
    for (const NamedColour& named : NAMED_COLOURS) {
        const long d = long(r - named.red) * (r - named.red) +
                       long(g - named.green) * (g - named.green) +
                       long(b - named.blue) * (b - named.blue);
        if (best < 0 || d < best) {
            best = d;
            nearest = &named;
        }
    }
    return QStringLiteral("%1, #%2")
        .arg(QCoreApplication::translate("Colour", nearest->name))
        .arg(QString::asprintf("%02X%02X%02X", r, g, b));
}

}  // namespace barquill::app
