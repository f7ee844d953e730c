// The main window's close, which never interrupts a reader being written, asks before work
// that is nowhere else is lost, and ends whatever else runs.

#include "app/main_window.h"
#include "core/dialogs.h"

#include <QCloseEvent>

namespace {
const QString closeCaption = QStringLiteral("Подтверждение выхода");
const QString closeQuestion =
    QStringLiteral("При выходе из программы все внесенные изменения \r\nбудут отменены! Продолжить?");
} // namespace

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A reader is never left half-written by a close: it waits for the synchronisation's end.
    if (m_writingToReader) {
        m_closeWhenWritten = true;
        event->ignore();
        return;
    }
    // Once the reader holds the library, closing loses nothing.
    const bool unsaved = holdsUnsavedWork(m_creation) || holdsUnsavedWork(m_editing);
    if (!m_readerWritten && unsaved && !m_dialogs.confirm(closeCaption, closeQuestion)) {
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
