#pragma once

#include <QRect>

// Where the three list panels of a page go.
struct PanelLayout
{
    QRect pathPanel;
    QRect collectionPanel;
    QRect bookPanel;
};

// `layOutPages`: the file list spans the width right of the left column over the upper half
// less 50 pixels; below it the collection list takes half the remaining width plus 50 and
// the book list the rest, with 2-pixel gaps. `left` is where the panels start.
PanelLayout panelLayout(int pageWidth, int pageHeight, int left);
