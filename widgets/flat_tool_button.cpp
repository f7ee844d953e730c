#include "widgets/flat_tool_button.h"

#include <QKeyEvent>
#include <QPainter>

FlatToolButton::FlatToolButton(QWidget *parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void FlatToolButton::keyPressEvent(QKeyEvent *event)
{
    // A tool button answers Space alone; a keyboard user expects Enter to press it as well.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (menu())
            showMenu();
        else
            click();
        return;
    }
    QToolButton::keyPressEvent(event);
}

void FlatToolButton::paintEvent(QPaintEvent *event)
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
