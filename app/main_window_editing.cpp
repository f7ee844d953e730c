// The main window's work on the editing page that reaches the reader: loading its library,
// loading it again on request, and writing it back.

#include "app/library_page_widget.h"
#include "app/long_operation.h"
#include "app/main_window.h"
#include "app/page_description.h"
#include "collections/statistics.h"
#include "core/dialogs.h"
#include "editor/reader_library.h"
#include "reader/find_reader.h"
#include "sync/editing_sync.h"

#include <QAbstractButton>
#include <QShortcut>

namespace {
const QString reloadCaption = QStringLiteral("Подтверждение загрузки");
const QString reloadQuestion =
    QStringLiteral("При повторной загрузке все внесенные изменения \r\nбудут отменены! Продолжить?");
} // namespace

void MainWindow::connectReloadHandlers()
{
    connect(m_editorpage->button(QStringLiteral("eReloadbutton")), &QAbstractButton::clicked, this,
            &MainWindow::reloadReaderLibrary);
    // A shortcut of the page acts only while the page is shown.
    auto *reload = new QShortcut(reloadKey(), m_editorpage);
    connect(reload, &QShortcut::activated, this, &MainWindow::reloadReaderLibrary);
}

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
    m_editorpage->showReloadStep();
}

void MainWindow::reloadReaderLibrary()
{
    if (m_longOperationRunning)
        return;
    if (holdsUnsavedWork(m_editing) && !m_dialogs.confirm(reloadCaption, reloadQuestion))
        return;
    emptyLibraryPage(m_editing);
    // The emptied page shows empty statistics, without the word on books in no collection that a
    // reader without collections calls for.
    m_editorpage->applyStatistics(updateStatistics(m_editing));
    loadReaderLibrary();
}

void MainWindow::synchronizeEditingPage()
{
    writeToReader(*m_editorpage, [this] {
        EditingSync sync(m_editing, m_volumes, m_dialogs, m_progress, m_readerFiles, m_formats);
        const bool succeeded = sync.run();
        m_deviceRoot = sync.deviceRoot();
        return succeeded;
    });
}
