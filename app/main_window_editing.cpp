// The main window's work on the editing page that reaches the reader: loading its library and
// writing it back.

#include "app/library_page_widget.h"
#include "app/long_operation.h"
#include "app/main_window.h"
#include "core/dialogs.h"
#include "sync/editing_sync.h"
#include "reader/find_reader.h"
#include "editor/reader_library.h"

void MainWindow::loadReaderLibrary()
{
    const LongOperation operation(m_longOperationRunning);
    if (!operation.started())
        return;
    runHandler([this] {
        m_deviceRoot = findReaderRootOrSay(m_volumes, m_dialogs);
        if (m_deviceRoot.isEmpty())
            return;
        // Read whole before anything is shown: a failure leaves the page empty, never a page
        // of books without their collections that a synchronisation would then write back.
        installReaderLibrary(m_editing, readReaderLibrary(m_deviceRoot, m_progress));
        refreshStatistics(*m_editorpage);
    });
}

void MainWindow::synchronizeEditingPage()
{
    writeToReader(*m_editorpage, [this] {
        EditingSync sync(m_editing, m_volumes, m_dialogs, m_progress, m_readerFiles);
        const bool succeeded = sync.run();
        m_deviceRoot = sync.deviceRoot();
        return succeeded;
    });
}
