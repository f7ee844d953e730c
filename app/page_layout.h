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

// The window's smallest size: 800 x 600, or less where the screen's free area, less the
// window's frame, is smaller (a large scale on a small screen), so that the window never asks
// for more than the screen has.
QSize minimumWindowSize(const QSize &availableScreen, const QSize &frame);
