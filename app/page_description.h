#pragma once

#include "collections/library_page.h"

#include <QKeySequence>
#include <QString>
#include <QVector>

// What a control of a page's left column is.
enum class ControlKind {
    StepNumber,         // "1.", bold and large
    StepLabel,          // bold caption of a step
    HelpLabel,          // italic help text
    Button,             // picture button with a hint
    SourceMenu,         // the arrow beside the automatic button choosing what it builds from
    StatisticsCaptions, // grey, kept at the bottom of the column
    StatisticsValues,   // grey, kept at the bottom of the column; the statistics write it
};

// Which part of a statistics run decides whether the control is shown.
enum class ControlStep {
    Always,
    Collections, // shown while the file list has books
    Synchronize, // shown while the collection list has collections
    Reload,      // editing page: shown while it holds no library from the reader
};

struct ControlDescription
{
    ControlKind kind;
    QString objectName;
    int left;
    int top;
    QString text; // label text or button hint; lines separated by "\r\n"
    QString picture = {};
    int size = 0; // buttons are square
    ControlStep step = ControlStep::Always;
    QKeySequence shortcut = {}; // buttons: pressed from anywhere on the page
};

// The object names of a page and of its regions, and its left column.
struct PageDescription
{
    QString page;
    QString tabCaption;
    QString infoPanel;
    QString pathPanel;
    QString collectionPanel;
    QString bookPanel;
    QString pathList;
    QString collectionList;
    QString bookList;
    QVector<ControlDescription> controls;
};

const PageDescription &pageDescription(LibraryPage::Kind kind);

// The key that loads the editing page again from the reader.
QKeySequence reloadKey();

// Width of the left column, and the height of a page at the window's initial size, from
// which the statistics labels keep their distance to the bottom edge.
constexpr int InfoPanelWidth = 257;
constexpr int DesignPageHeight = 573;
constexpr int CaptionStripHeight = 18;
