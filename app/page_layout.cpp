#include "app/page_layout.h"

PanelLayout panelLayout(int pageWidth, int pageHeight, int left)
{
    PanelLayout layout;
    QRect &path = layout.pathPanel;
    path = QRect(left, 2, pageWidth - left, pageHeight / 2 - 50);

    QRect &collections = layout.collectionPanel;
    const int lowerTop = path.top() + path.height() + 2;
    collections = QRect(left, lowerTop, (pageWidth - left) / 2 + 50, pageHeight - lowerTop);

    const int bookLeft = collections.left() + collections.width() + 2;
    layout.bookPanel = QRect(bookLeft, lowerTop, (pageWidth - collections.left()) / 2 - 52, collections.height());
    return layout;
}

QSize minimumWindowSize(const QSize &availableScreen, const QSize &frame)
{
    return QSize(800, 600).boundedTo(availableScreen - frame);
}
