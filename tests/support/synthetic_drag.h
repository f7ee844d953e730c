#pragma once

#include <QCoreApplication>
#include <QDropEvent>
#include <QWidget>

// A drag as the window system delivers it to the widget under the pointer: an enter and a
// move at `position`, then a leave or the drop. The toolkit routes them on as for a real
// drag (an enter nobody under the pointer takes goes up to the widgets around it). A real
// drag never delivers on the offscreen platform, so tests send these themselves.
struct SyntheticDrag
{
    QWidget *receiver;
    QPoint position;
    const QMimeData *data;

    // The answer to the move: whether the pointer shows that the drop would be taken.
    bool moveAccepted() const
    {
        const bool accepted = enterAndMove();
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(receiver, &leave);
        return accepted;
    }
    // Whether the drop was taken.
    bool drop() const
    {
        enterAndMove();
        QDropEvent dropped(position, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(receiver, &dropped);
        return dropped.isAccepted();
    }

private:
    bool enterAndMove() const
    {
        QDragEnterEvent enter(position, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(receiver, &enter);
        QDragMoveEvent move(position, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(receiver, &move);
        return move.isAccepted();
    }
};
