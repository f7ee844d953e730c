#include "widgets/picture_button.h"

QString hintWithShortcut(const QString &hint, const QKeySequence &shortcut)
{
    if (shortcut.isEmpty())
        return hint;
    return hint + QStringLiteral(" (") + shortcut.toString(QKeySequence::NativeText) + QLatin1Char(')');
}

PictureButton::PictureButton(const QString &picture, const QString &hint, int size, const QKeySequence &shortcut,
                             QWidget *parent)
    : FlatToolButton(parent)
{
    setToolTip(hintWithShortcut(hint, shortcut));
    setShortcut(shortcut);
    setIcon(QIcon(picture));
    setFixedSize(size, size);
    setIconSize(QSize(size - 4, size - 4));
}
