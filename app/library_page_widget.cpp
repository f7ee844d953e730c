#include "app/library_page_widget.h"

#include "app/collection_source_menu.h"
#include "app/page_layout.h"
#include "app/shown_text.h"
#include "collections/statistics.h"
#include "widgets/grid_view.h"
#include "widgets/picture_button.h"

#include <QAbstractButton>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {
const QColor silver(0xC0, 0xC0, 0xC0);
const QColor grey(0x80, 0x80, 0x80);

void fillWith(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel *makeLabel(const ControlDescription &description, QWidget *parent)
{
    auto *label = new QLabel(shownText(description.text), parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font = label->font();
    switch (description.kind) {
    case ControlKind::StepNumber:
        font.setBold(true);
        font.setPixelSize(16);
        break;
    case ControlKind::StepLabel:
        font.setBold(true);
        break;
    case ControlKind::HelpLabel:
        font.setItalic(true);
        break;
    case ControlKind::StatisticsCaptions:
    case ControlKind::StatisticsValues: {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, grey);
        label->setPalette(palette);
        break;
    }
    case ControlKind::Button:
    case ControlKind::SourceMenu:
        break;
    }
    label->setFont(font);
    label->adjustSize();
    return label;
}
} // namespace

LibraryPageWidget::LibraryPageWidget(LibraryPage &page, QWidget *parent)
    : QWidget(parent), m_page(page), m_description(pageDescription(page.kind))
{
    setObjectName(m_description.page);
    fillWith(this, Qt::white);
    buildInfoPanel();
    m_pathPanel =
        makeListPanel(m_description.pathPanel, QStringLiteral("Список файлов"), m_pathList, m_description.pathList);
    m_collectionPanel = makeListPanel(m_description.collectionPanel, QStringLiteral("Список коллекций"),
                                      m_collectionList, m_description.collectionList);
    m_bookPanel =
        makeListPanel(m_description.bookPanel, QStringLiteral("Список книг"), m_bookList, m_description.bookList);
    m_pathList->setGridModel(&page.books);
    m_pathList->setHeaderSorting(true);
    m_collectionList->setGridModel(&page.collections);
    m_bookList->setGridModel(&page.shownBooks);
    showReloadStep();
}

void LibraryPageWidget::buildInfoPanel()
{
    m_infoColumn = new QScrollArea(this);
    m_infoColumn->setFrameShape(QFrame::NoFrame);
    m_infoColumn->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_infoColumn->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_infoColumn->setFocusPolicy(Qt::NoFocus);
    fillWith(m_infoColumn->viewport(), Qt::white);
    m_infoPanel = new QWidget;
    m_infoPanel->setObjectName(m_description.infoPanel);
    fillWith(m_infoPanel, Qt::white);
    m_infoColumn->setWidget(m_infoPanel);
    m_infoColumn->setGeometry(0, 0, InfoPanelWidth, DesignPageHeight);
    m_infoPanel->setGeometry(0, 0, InfoPanelWidth, DesignPageHeight);
    for (const ControlDescription &description : m_description.controls) {
        QWidget *control = makeControl(description);
        control->setObjectName(description.objectName);
        control->move(description.left, description.top);
        m_controls.insert(description.objectName, control);
    }
}

QWidget *LibraryPageWidget::makeControl(const ControlDescription &description)
{
    if (description.kind == ControlKind::Button)
        return new PictureButton(description.picture, description.text, description.size, description.shortcut,
                                 m_infoPanel);
    if (description.kind == ControlKind::SourceMenu)
        return makeCollectionSourceButton(description.size, m_infoPanel);
    QLabel *label = makeLabel(description, m_infoPanel);
    if (description.kind == ControlKind::StatisticsCaptions)
        m_statisticsCaptions = label;
    if (description.kind == ControlKind::StatisticsValues)
        m_statisticsValues = label;
    return label;
}

QWidget *LibraryPageWidget::makeListPanel(const QString &name, const QString &caption, GridView *&grid,
                                          const QString &gridName)
{
    auto *panel = new QWidget(this);
    panel->setObjectName(name);
    auto *strip = new QLabel(caption, panel);
    strip->setObjectName(name + QStringLiteral("caption"));
    strip->setFixedHeight(CaptionStripHeight);
    strip->setAlignment(Qt::AlignCenter);
    QFont bold = strip->font();
    bold.setBold(true);
    strip->setFont(bold);
    fillWith(strip, silver);
    grid = new GridView(panel);
    grid->setObjectName(gridName);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(strip);
    layout->addWidget(grid, 1);
    return panel;
}

QWidget *LibraryPageWidget::infoColumn() const
{
    return m_infoColumn;
}

QAbstractButton *LibraryPageWidget::button(const QString &objectName) const
{
    return qobject_cast<QAbstractButton *>(control(objectName));
}

void LibraryPageWidget::placePanels(const PanelLayout &layout, int pageHeight)
{
    // A page behind the other one gets its size only when shown; its column follows now.
    placeInfoPanel(pageHeight);
    m_pathPanel->setGeometry(layout.pathPanel);
    m_collectionPanel->setGeometry(layout.collectionPanel);
    m_bookPanel->setGeometry(layout.bookPanel);
}

void LibraryPageWidget::applyStatistics(const PageStatistics &statistics)
{
    m_pathPanel->setVisible(statistics.pathPanelVisible);
    m_collectionPanel->setVisible(statistics.collectionPanelVisible);
    m_bookPanel->setVisible(statistics.bookPanelVisible);
    const bool editing = m_page.kind == LibraryPage::Kind::Editing;
    for (const ControlDescription &description : m_description.controls) {
        QWidget *control = m_controls.value(description.objectName);
        if (description.step == ControlStep::Collections)
            control->setVisible(statistics.stepTwoVisible);
        else if (description.step == ControlStep::Synchronize && !editing)
            control->setVisible(statistics.stepThreeVisible);
        else if (description.step == ControlStep::Synchronize && statistics.collectionPanelVisible)
            control->show(); // the editing page shows its synchronise step again but never hides it
    }
    showReloadStep();
    m_statisticsValues->setText(shownText(statistics.valueText));
    fitStatistics();
    placeInfoPanel(m_infoPanel->height());
}

void LibraryPageWidget::showReloadStep()
{
    for (const ControlDescription &description : m_description.controls)
        if (description.step == ControlStep::Reload)
            m_controls.value(description.objectName)->setVisible(m_page.reader.isEmpty());
}

void LibraryPageWidget::fitStatistics()
{
    // A font wider than Tahoma, or a library of many gigabytes, would run the values past the
    // column's edge: both labels shrink together until captions and values fit side by side.
    constexpr int SmallestPixelSize = 7;
    QFont font = m_infoPanel->font();
    for (int pixelSize = font.pixelSize(); pixelSize >= SmallestPixelSize; --pixelSize) {
        font.setPixelSize(pixelSize);
        m_statisticsCaptions->setFont(font);
        m_statisticsValues->setFont(font);
        m_statisticsCaptions->adjustSize();
        m_statisticsValues->adjustSize();
        if (statisticsValuesLeft() + m_statisticsValues->width() <= InfoPanelWidth)
            break;
    }
}

int LibraryPageWidget::statisticsValuesLeft() const
{
    // The values keep their place unless the captions would run into them.
    constexpr int Gap = 4;
    for (const ControlDescription &description : m_description.controls)
        if (description.kind == ControlKind::StatisticsValues)
            return std::max(description.left, m_statisticsCaptions->x() + m_statisticsCaptions->width() + Gap);
    return 0;
}

void LibraryPageWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeInfoPanel(height());
    emit resized();
}

int LibraryPageWidget::shortestColumnHeight() const
{
    constexpr int Gap = 8;
    int stepsBottom = 0;
    int statisticsTop = DesignPageHeight;
    for (const ControlDescription &description : m_description.controls) {
        if (description.kind == ControlKind::StatisticsCaptions || description.kind == ControlKind::StatisticsValues)
            statisticsTop = std::min(statisticsTop, description.top);
        else
            stepsBottom = std::max(stepsBottom, description.top + m_controls.value(description.objectName)->height());
    }
    return stepsBottom + Gap + DesignPageHeight - statisticsTop;
}

void LibraryPageWidget::placeInfoPanel(int pageHeight)
{
    // A page too short for the column (a large scale on a small screen) scrolls it; the grids
    // move right of its scroll bar.
    const int columnHeight = std::max(pageHeight, shortestColumnHeight());
    const int scrollBar = columnHeight > pageHeight ? m_infoColumn->verticalScrollBar()->sizeHint().width() : 0;
    m_infoColumn->setGeometry(0, 0, InfoPanelWidth + scrollBar, pageHeight);
    m_infoPanel->resize(InfoPanelWidth, columnHeight);
    const int shift = m_infoPanel->height() - DesignPageHeight;
    for (const ControlDescription &description : m_description.controls) {
        QWidget *control = m_controls.value(description.objectName);
        if (description.kind == ControlKind::StatisticsCaptions) {
            control->move(description.left, description.top + shift);
        } else if (description.kind == ControlKind::StatisticsValues) {
            control->move(statisticsValuesLeft(), description.top + shift);
        }
    }
}
