#pragma once

#include <QString>
#include <QtGlobal>

struct LibraryPage;

// What a statistics run leaves for the page: the value text, `total_size` and which of
// the page's panels and step controls are visible.
struct PageStatistics
{
    QString valueText; // `statisctilabelvalue` / `Label13`
    qint64 total_size = 0;
    bool pathPanelVisible = false;
    bool collectionPanelVisible = false;
    bool bookPanelVisible = false;
    // Creation page: label2_1..label2_3, addcollectionbutton, autocollectionbutton, shown
    // while the file list has rows. The editing page never hides its step controls.
    bool stepTwoVisible = false;
    // Creation page: label3_1, label3_2, Synchronizebutton, shown while there is a
    // collection. On the editing page Label4, Label11 and eSynchronizebutton stay visible.
    bool stepThreeVisible = false;
    // Editing page with no collection: show defaultCollectionMessageText() in an OK box.
    bool defaultCollectionMessage = false;
};

// The fixed captions beside the values (`statisticlabel` / `Label12`).
QString statisticsCaptionText();
// What the editing page says on every run while it has no collection.
QString defaultCollectionMessageText();

// The statistics of a page without the widgets: recomputes from the
// page's lists; empties the shown books when the page has no collection. A book's
// `file_size` counts as a 64-bit number; an empty, non-numeric or negative size, which a
// reader's database can hold, counts as 0.
PageStatistics updateStatistics(LibraryPage &page);
