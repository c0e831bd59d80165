#pragma once

#include <QFont>

// The font every window is drawn in: Liberation Sans at 11 pixels, whose letters are as wide as
// those of the 8-point dialog font the windows' sizes were laid out for. It is loaded from the
// files of Debian's fonts-liberation2 package, so the program and every test that measures a
// text use the same font, whatever fontconfig would choose as the default sans-serif.
class TUiFont {
public:
    static constexpr int kPixelSize = 11;
    static constexpr const char* kFamily = "Liberation Sans";

    // Registers the regular and bold faces and makes the font the application's default. Without
    // the package's files it asks fontconfig for the family; without that too it leaves Qt's
    // default and returns false. Call it once the QApplication exists, before any window.
    static bool Install();
};
