#include "widgets/row_drag.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>
#include <QString>

namespace {
const QString rowDragType = QStringLiteral("application/x-tessaly-grid-rows");
}

QMimeData *rowDragData(const RowDrag &drag)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << drag.sourceGrid << qint32(drag.first) << qint32(drag.count);
    auto *data = new QMimeData;
    data->setData(rowDragType, bytes);
    return data;
}

std::optional<RowDrag> readRowDrag(const QMimeData *data)
{
    if (!data || !data->hasFormat(rowDragType))
        return std::nullopt;
    QDataStream stream(data->data(rowDragType));
    RowDrag drag;
    qint32 first = 0;
    qint32 count = 0;
    stream >> drag.sourceGrid >> first >> count;
    if (stream.status() != QDataStream::Ok)
        return std::nullopt;
    drag.first = first;
    drag.count = count;
    return drag;
}
