#pragma once

#include "app/stoppable_progress.h"
#include "collections/automatic_collections.h"
#include "collections/library_page.h"
#include "core/file_operations.h"
#include "covers/book_formats.h"
#include "pdf/poppler_pdf_reader.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>

class Clock;
class Dialogs;
class FileOpener;
class LibraryPageWidget;
class PageControl;
class Progress;
class VolumeList;
struct RowDrag;

// The main window: the page control `pager` with the creation page and the editing page,
// the mode-switch guard, the three ways of adding books and the statistics of both pages. The user's answers, the
// clock, the progress window, the list of mounted volumes and the desktop's "open this file"
// service come from outside. Closing the window asks first when work that is nowhere else
// would be lost, then ends an intake or a load at once; a synchronisation is let finish first.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(Dialogs &dialogs, const Clock &clock, Progress &progress, const VolumeList &volumes,
               FileOpener &fileOpener, QWidget *parent = nullptr);
    ~MainWindow() override;

    LibraryPage &creation() { return m_creation; }
    LibraryPage &editing() { return m_editing; }
    PageControl *pager() const { return m_pager; }
    LibraryPageWidget *creatorpage() const { return m_creatorpage; }
    LibraryPageWidget *editorpage() const { return m_editorpage; }
    const QString &deviceRoot() const { return m_deviceRoot; }
    qint64 totalSize() const { return m_totalSize; }
    bool longOperationRunning() const { return m_longOperationRunning; }
    // The book formats read beyond plain FB2, as the settings menu has them.
    const BookFormats &formats() const { return m_formats; }

    void addBookFile();
    void addBookFolder();
    // The body of a drop of files and folders from the file manager.
    void addDroppedPaths(const QStringList &paths);
    // Before another page is shown: asks, and on Yes empties all six lists.
    bool confirmPageSwitch(int newIndex);
    void enterPage(int index);
    // Places both pages' panels, whichever page is shown.
    void layOutPages();
    // Recomputes the page's statistics and shows them with its panels.
    void refreshStatistics(LibraryPageWidget &page);
    // The editing page's load, run after every switch to that page: finds the reader and
    // shows its library, or tells why not and leaves the page empty.
    void loadReaderLibrary();
    // F5 and `eReloadbutton` on the editing page: empties it, asking first when it holds changes
    // not written, and loads the reader's library again.
    void reloadReaderLibrary();
    // `Synchronizebutton`: replaces the reader's library with the creation page's; on success
    // the window closes, which ends the application.
    void synchronizeCreationPage();
    // `eSynchronizebutton`: writes the editing page's library back to the reader it was loaded
    // from; on success the window closes, which ends the application.
    void synchronizeEditingPage();

    // The hand editing of collections, one set of operations bound to either page's lists and
    // statistics. Rows are 0-based data rows (-1: none).
    void addCollectionOn(LibraryPageWidget &page);
    void showCollectionBooksOn(LibraryPageWidget &page, int row);
    void renameCollectionOn(LibraryPageWidget &page, int row);
    void deleteCollectionsOn(LibraryPageWidget &page, int key);
    void renameBookOn(LibraryPageWidget &page, int row);
    void removeShownBooksOn(LibraryPageWidget &page, int key);
    // `autocollectionbutton` and `SpeedButton4`: one collection per folder, or per series or
    // author as chosen beside them; a choice builds at once and is remembered.
    void buildAutomaticCollectionsOn(LibraryPageWidget &page);
    void chooseCollectionSourceOn(LibraryPageWidget &page, CollectionSource source);

    // The file list of either page: Delete (the editing page's list ignores it) and the
    // double click that opens a book.
    void removeFileListRowsOn(LibraryPageWidget &page, int key);
    void openBookOn(LibraryPageWidget &page, int row);

    // Rows dragged onto the collection list or the book list of a page, from a list of the
    // same page: the accept answers and the drops, bound to either page. `row` is the
    // collection-list row under the pointer (GridView::NoRow, GridView::HeaderRow).
    bool acceptsRowsOnCollectionList(LibraryPageWidget &page, const RowDrag &drag, int row) const;
    void dropRowsOnCollectionList(LibraryPageWidget &page, const RowDrag &drag, int row);
    bool acceptsRowsOnBookList(LibraryPageWidget &page, const RowDrag &drag) const;
    void dropRowsOnBookList(LibraryPageWidget &page, const RowDrag &drag);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool acceptsDroppedFiles(const QMimeData *data) const;
    void addBooks(const QStringList &paths);
    // Runs a handler; an error it raises is shown to the user and ends only that handler.
    void runHandler(const std::function<void()> &handler);
    // Runs a synchronisation of `page`, which answers whether the reader was written; the window
    // closes then, or when a close was asked for meanwhile.
    void writeToReader(LibraryPageWidget &page, const std::function<bool()> &synchronize);

    // The settings menu of the formats beyond plain FB2, with the choice of earlier runs.
    void buildFormatsMenu();
    QString bookFileFilter() const;

    void connectCollectionHandlers(LibraryPageWidget &page, const QString &addButton, const QString &automaticButton);
    void connectFileListHandlers(LibraryPageWidget &page);
    void connectReloadHandlers();
    // The smallest size the window asks for, within the screen it is shown on.
    void fitMinimumSizeToScreen();
    bool isFileListHeader(const QObject *object) const;
    void connectDropHandlers(LibraryPageWidget &page);
    // Selects what the operation asks for and reruns the page's statistics.
    void applyPageUpdate(LibraryPageWidget &page, const PageUpdate &update);

    Dialogs &m_dialogs;
    const Clock &m_clock;
    // The operations drive the progress window through this, so a close can stop them.
    StoppableProgress m_progress;
    const VolumeList &m_volumes;
    FileOpener &m_fileOpener;
    FileOperations m_readerFiles;
    PopplerPdfReader m_pdfReader;
    BookFormats m_formats;
    LibraryPage m_creation{LibraryPage::Kind::Creation};
    LibraryPage m_editing{LibraryPage::Kind::Editing};
    PageControl *m_pager = nullptr;
    LibraryPageWidget *m_creatorpage = nullptr;
    LibraryPageWidget *m_editorpage = nullptr;
    QString m_deviceRoot;
    qint64 m_totalSize = 0;
    bool m_longOperationRunning = false;
    // Set while a synchronisation writes to the reader; a close meanwhile waits for its end.
    bool m_writingToReader = false;
    bool m_closeWhenWritten = false;
    // Set once a synchronisation has written the reader: the window then closes without a question.
    bool m_readerWritten = false;
    bool m_followsScreen = false; // the window's screen changes reach fitMinimumSizeToScreen()
};
