#include "reader/find_reader.h"

#include "core/dialogs.h"
#include "reader/reader_layout.h"

#include <QFileInfo>

QString findReaderRoot(const VolumeList &volumes)
{
    const QStringList roots = volumes.roots();
    // The first volume holds the system and is never taken for a reader.
    for (qsizetype i = 1; i < roots.size(); ++i) {
        if (QFileInfo::exists(ReaderLayout::databasePath(roots.at(i))))
            return roots.at(i);
    }
    return {};
}

QString deviceNotFoundMessage()
{
    return QStringLiteral("Не удалось подключиться к базе данных на устройстве!\r\n"
                          "Проверьте, подключено ли устройство к компьютеру.\r\n"
                          "На подключенном устройстве путь к базе данных выглядит так:\r\n"
                          "Х:\\Sony_Reader\\database\\books.db\r\n"
                          "Где Х - текущая буква диска.");
}

QString findReaderRootOrSay(const VolumeList &volumes, Dialogs &dialogs)
{
    QString root = findReaderRoot(volumes);
    if (root.isEmpty())
        dialogs.message(deviceNotFoundMessage());
    return root;
}
