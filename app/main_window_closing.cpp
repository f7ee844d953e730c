// The main window's close, which never interrupts a reader being written and ends whatever
// else runs.

#include "app/main_window.h"

#include <QCloseEvent>

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A reader is never left half-written by a close: it waits for the synchronisation's end.
    if (m_writingToReader) {
        m_closeWhenWritten = true;
        event->ignore();
        return;
    }
    // An intake or a load only reads; it stops at its next turn of the event loop. The
    // progress window goes first, so this is the last window closed and the application ends.
    if (m_longOperationRunning)
        m_progress.stop();
    m_progress.hide();
    QMainWindow::closeEvent(event);
}
