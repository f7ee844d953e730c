#include "app/main_window.h"

#include "app/fonts.h"
#include "app/library_page_widget.h"
#include "app/page_layout.h"
#include "collections/statistics.h"
#include "core/dialogs.h"
#include "core/progress.h"
#include "core/tessaly_error.h"
#include "widgets/page_control.h"

#include <QAbstractButton>
#include <QScreen>
#include <QStyle>
#include <QWindow>

#include <exception>

MainWindow::MainWindow(Dialogs &dialogs, const Clock &clock, Progress &progress, const VolumeList &volumes,
                       FileOpener &fileOpener, QWidget *parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_clock(clock), m_progress(progress), m_volumes(volumes),
      m_fileOpener(fileOpener)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tessaly"));
    setFont(tahomaFont(11));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    fitMinimumSizeToScreen();
    resize(1152, 640);
    move(189, 59);

    buildFormatsMenu();
    m_pager = new PageControl(this);
    m_pager->setObjectName(QStringLiteral("pager"));
    // Made inside the window, so their labels measure themselves in the window's font.
    m_creatorpage = new LibraryPageWidget(m_creation, m_pager);
    m_editorpage = new LibraryPageWidget(m_editing, m_pager);
    m_pager->addPage(m_creatorpage, m_creatorpage->description().tabCaption);
    m_pager->addPage(m_editorpage, m_editorpage->description().tabCaption);
    setCentralWidget(m_pager);
    m_pager->setChangeGuard([this](int newIndex) { return confirmPageSwitch(newIndex); });
    connect(m_pager, &PageControl::currentChanged, this, &MainWindow::enterPage);
    // Only the page shown gets Qt's resize; either page's resize lays out both.
    connect(m_creatorpage, &LibraryPageWidget::resized, this, &MainWindow::layOutPages);
    connect(m_editorpage, &LibraryPageWidget::resized, this, &MainWindow::layOutPages);
    connect(m_creatorpage->button(QStringLiteral("AddFileButton")), &QAbstractButton::clicked, this,
            &MainWindow::addBookFile);
    connect(m_creatorpage->button(QStringLiteral("AddDirButton")), &QAbstractButton::clicked, this,
            &MainWindow::addBookFolder);
    connect(m_creatorpage->button(QStringLiteral("Synchronizebutton")), &QAbstractButton::clicked, this,
            &MainWindow::synchronizeCreationPage);
    connect(m_editorpage->button(QStringLiteral("eSynchronizebutton")), &QAbstractButton::clicked, this,
            &MainWindow::synchronizeEditingPage);
    connectCollectionHandlers(*m_creatorpage, QStringLiteral("addcollectionbutton"),
                              QStringLiteral("autocollectionbutton"));
    connectCollectionHandlers(*m_editorpage, QStringLiteral("SpeedButton3"), QStringLiteral("SpeedButton4"));
    connectFileListHandlers(*m_creatorpage);
    connectFileListHandlers(*m_editorpage);
    connectDropHandlers(*m_creatorpage);
    connectDropHandlers(*m_editorpage);
    connectReloadHandlers();

    setAcceptDrops(true);
    m_deviceRoot.clear();
    setWindowState(windowState() | Qt::WindowMaximized);
    runHandler([this] { refreshStatistics(*m_creatorpage); });
}

MainWindow::~MainWindow() = default;

void MainWindow::runHandler(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const OperationStopped &) {
        // The window was closed meanwhile: the operation ends with nothing more to say.
        m_progress.hide();
    } catch (const TessalyError &error) {
        // An operation stopped by an error must not leave the progress window up.
        m_progress.hide();
        m_dialogs.message(error.message());
    } catch (const std::exception &error) {
        // Anything else (out of memory, a library's own error) is reported, never a crash.
        m_progress.hide();
        m_dialogs.message(QString::fromLocal8Bit(error.what()));
    }
}

void MainWindow::fitMinimumSizeToScreen()
{
    // Before the window manager has framed the window, a title bar and borders of the style's
    // measure stand in for its frame.
    QSize frame = frameGeometry().size() - geometry().size();
    if (frame.isEmpty()) {
        const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        frame = QSize(2 * border, style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * border);
    }
    if (const QScreen *shownOn = screen())
        setMinimumSize(minimumWindowSize(shownOn->availableSize(), frame));
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    fitMinimumSizeToScreen();
    if (windowHandle() && !m_followsScreen) {
        m_followsScreen = true;
        connect(windowHandle(), &QWindow::screenChanged, this, &MainWindow::fitMinimumSizeToScreen);
    }
}

void MainWindow::layOutPages()
{
    // The page shown has the current size; the other one takes the same places.
    const QWidget *shown = m_pager->currentPage();
    const QWidget *info = m_creatorpage->infoColumn();
    const PanelLayout layout = panelLayout(shown->width(), shown->height(), info->x() + info->width() + 2);
    m_creatorpage->placePanels(layout, shown->height());
    m_editorpage->placePanels(layout, shown->height());
}

void MainWindow::refreshStatistics(LibraryPageWidget &page)
{
    const PageStatistics statistics = updateStatistics(page.page());
    m_totalSize = statistics.total_size;
    page.applyStatistics(statistics);
    if (statistics.defaultCollectionMessage)
        m_dialogs.message(defaultCollectionMessageText());
}
