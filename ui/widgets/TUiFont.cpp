#include "ui/widgets/TUiFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>

namespace {

// Where fonts-liberation2 installs the two faces the windows use.
constexpr const char* kFaceFiles[] = {
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
};

} // namespace

bool TUiFont::Install()
{
    for (const char* file : kFaceFiles)
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    QFont font(QString::fromLatin1(kFamily));
    font.setPixelSize(kPixelSize);
    if (QFontInfo(font).family() != QLatin1String(kFamily))
        return false;
    QApplication::setFont(font);
    return true;
}
