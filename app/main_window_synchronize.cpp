// The main window's synchronisation of the creation page with the reader, and the run both
// synchronisations share.

#include "app/library_page_widget.h"
#include "app/long_operation.h"
#include "app/main_window.h"
#include "sync/creation_sync.h"

#include <QScopedValueRollback>

#include <utility>

void MainWindow::synchronizeCreationPage()
{
    writeToReader(*m_creatorpage, [this] {
        CreationSync sync(m_creation, m_volumes, m_dialogs, m_progress, m_readerFiles, m_formats);
        const bool succeeded = sync.run(m_totalSize);
        m_deviceRoot = sync.deviceRoot();
        return succeeded;
    });
}

void MainWindow::writeToReader(LibraryPageWidget &page, const std::function<bool()> &synchronize)
{
    bool succeeded = false;
    {
        const LongOperation operation(m_longOperationRunning);
        if (!operation.started())
            return;
        const QScopedValueRollback writing(m_writingToReader, true);
        runHandler([&] {
            succeeded = synchronize();
            // The window stays: its statistics follow the rows the run changed.
            if (!succeeded)
                refreshStatistics(page);
        });
    }
    m_readerWritten = succeeded;
    // A close asked for while the reader was written happens now.
    if (succeeded || std::exchange(m_closeWhenWritten, false))
        close();
}
