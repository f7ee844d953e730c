#pragma once

#include <QString>
#include <QtGlobal>

struct LibraryPage;

// What a statistics run leaves for the page: the value text, `total_size` and which of
// the page's panels and step controls are visible.
struct PageStatistics
{
    QString valueText;
    qint64 total_size = 0;
    bool pathPanelVisible = false;
    bool collectionPanelVisible = false;
    bool bookPanelVisible = false;
    bool stepTwoVisible = false;   // creation page: label2_1..label2_3, addcollectionbutton, autocollectionbutton
    bool stepThreeVisible = false; // creation page: label3_1, label3_2, Synchronizebutton
    bool defaultCollectionMessage = false; // editing page with no collection
};

// `UpdateStatistics` / `UpdateEditorStatistics` without the widgets: recomputes from the
// page's lists; empties the shown books when the page has no collection.
PageStatistics updateStatistics(LibraryPage &page);
