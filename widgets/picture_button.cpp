#include "widgets/picture_button.h"

PictureButton::PictureButton(const QString &picture, const QString &hint, int size, QWidget *parent)
    : QToolButton(parent)
{
    setAutoRaise(true);
    setCursor(Qt::PointingHandCursor);
    setToolTip(hint);
    setFocusPolicy(Qt::NoFocus);
    setIcon(QIcon(picture));
    setFixedSize(size, size);
    setIconSize(QSize(size - 4, size - 4));
}
