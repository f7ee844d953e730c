#include "widgets/picture_button.h"

#include <QKeyEvent>
#include <QPainter>

QString hintWithShortcut(const QString &hint, const QKeySequence &shortcut)
{
    if (shortcut.isEmpty())
        return hint;
    return hint + QStringLiteral(" (") + shortcut.toString(QKeySequence::NativeText) + QLatin1Char(')');
}

PictureButton::PictureButton(const QString &picture, const QString &hint, int size, const QKeySequence &shortcut,
                             QWidget *parent)
    : QToolButton(parent)
{
    setAutoRaise(true);
    setCursor(Qt::PointingHandCursor);
    setToolTip(hintWithShortcut(hint, shortcut));
    setShortcut(shortcut);
    setFocusPolicy(Qt::TabFocus);
    setIcon(QIcon(picture));
    setFixedSize(size, size);
    setIconSize(QSize(size - 4, size - 4));
}

void PictureButton::keyPressEvent(QKeyEvent *event)
{
    // A tool button answers Space alone; a keyboard user expects Enter to press it as well.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QToolButton::keyPressEvent(event);
}

void PictureButton::paintEvent(QPaintEvent *event)
{
    QToolButton::paintEvent(event);
    // A flat button draws no focus of its own in most styles.
    if (!hasFocus())
        return;
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), 2);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}
