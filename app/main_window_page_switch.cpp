// The main window's switch between its two modes of work: the question asked before either
// page is left, and what arriving at a page sets off.

#include "app/library_page_widget.h"
#include "app/main_window.h"
#include "core/dialogs.h"
#include "widgets/page_control.h"

namespace {
const QString modeSwitchCaption = QStringLiteral("Подтверждение смены режима");
const QString modeSwitchQuestion =
    QStringLiteral("При переключении режима, все внесенные изменения \r\nв текущем режиме будут отменены! Продолжить?");
} // namespace

bool MainWindow::confirmPageSwitch(int)
{
    // A switch empties the lists a running intake is filling, and loading is itself long.
    if (m_longOperationRunning)
        return false;
    if (!m_dialogs.confirm(modeSwitchCaption, modeSwitchQuestion))
        return false;
    emptyLibraryPage(m_creation);
    runHandler([this] { refreshStatistics(*m_creatorpage); });
    emptyLibraryPage(m_editing);
    return true;
}

void MainWindow::enterPage(int index)
{
    if (m_pager->page(index) == m_editorpage)
        loadReaderLibrary();
}
