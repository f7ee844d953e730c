#include "app/fonts.h"

#include <QApplication>

QFont tahomaFont(int pixelSize)
{
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Tahoma"), font.family()});
    font.setPixelSize(pixelSize);
    return font;
}
