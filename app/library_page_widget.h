#pragma once

#include "app/page_description.h"

#include <QHash>
#include <QWidget>

class GridView;
class QAbstractButton;
class QLabel;
class QScrollArea;
struct PageStatistics;
struct PanelLayout;

// One page of the main window, bound to the lists it shows: the left column built from the
// page's control descriptions, and the file, collection and book panels, each a caption
// strip over its grid. Both pages are this class; what differs comes from the description.
class LibraryPageWidget : public QWidget
{
    Q_OBJECT
public:
    explicit LibraryPageWidget(LibraryPage &page, QWidget *parent = nullptr);

    LibraryPage &page() const { return m_page; }
    const PageDescription &description() const { return m_description; }

    QWidget *infoPanel() const { return m_infoPanel; }
    // The left column as placed on the page: the info panel, with a scroll bar beside it when
    // the page is too short for its controls.
    QWidget *infoColumn() const;
    QWidget *pathPanel() const { return m_pathPanel; }
    QWidget *collectionPanel() const { return m_collectionPanel; }
    QWidget *bookPanel() const { return m_bookPanel; }
    GridView *pathList() const { return m_pathList; }
    GridView *collectionList() const { return m_collectionList; }
    GridView *bookList() const { return m_bookList; }
    // A control of the left column by its object name.
    QWidget *control(const QString &objectName) const { return m_controls.value(objectName); }
    QAbstractButton *button(const QString &objectName) const;

    // `layOutPages` places both pages as the creation page measures.
    void placePanels(const PanelLayout &layout, int pageHeight);
    // Shows the statistics' values and the panels and steps they call for.
    void applyStatistics(const PageStatistics &statistics);
    // The editing page's reload control shows while the page holds no library from the reader.
    void showReloadStep();

signals:
    void resized();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildInfoPanel();
    QWidget *makeControl(const ControlDescription &description);
    QWidget *makeListPanel(const QString &name, const QString &caption, GridView *&grid, const QString &gridName);
    // The left column spans the page height; the statistics keep their distance to its bottom.
    void placeInfoPanel(int pageHeight);
    // The height below which the statistics would run into the steps above them.
    int shortestColumnHeight() const;
    void fitStatistics();
    int statisticsValuesLeft() const;

    LibraryPage &m_page;
    const PageDescription &m_description;
    QScrollArea *m_infoColumn = nullptr;
    QWidget *m_infoPanel = nullptr;
    QWidget *m_pathPanel = nullptr;
    QWidget *m_collectionPanel = nullptr;
    QWidget *m_bookPanel = nullptr;
    GridView *m_pathList = nullptr;
    GridView *m_collectionList = nullptr;
    GridView *m_bookList = nullptr;
    QHash<QString, QWidget *> m_controls;
    QLabel *m_statisticsCaptions = nullptr;
    QLabel *m_statisticsValues = nullptr;
};
