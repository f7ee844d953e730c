#include "reader/find_reader.h"

#include "core/dialogs.h"
#include "reader/reader_layout.h"

#include <QFileInfo>

QStringList readerRoots(const VolumeList &volumes)
{
    const QStringList roots = volumes.roots();
    QStringList readers;
    for (qsizetype i = 1; i < roots.size(); ++i) {
        if (QFileInfo::exists(ReaderLayout::databasePath(roots.at(i))))
            readers << roots.at(i);
    }
    return readers;
}

QString findReaderRoot(const VolumeList &volumes, const QString &preferred)
{
    const QStringList readers = readerRoots(volumes);
    if (!preferred.isEmpty() && readers.contains(preferred))
        return preferred;
    return readers.isEmpty() ? QString() : readers.constFirst();
}

QString deviceNotFoundMessage(bool driveLetters)
{
    const QString start = QStringLiteral("Не удалось подключиться к базе данных на устройстве!\r\n"
                                         "Проверьте, подключено ли устройство к компьютеру.\r\n");
    if (driveLetters)
        return start + QStringLiteral("На подключенном устройстве путь к базе данных выглядит так:\r\n"
                                      "Х:\\Sony_Reader\\database\\books.db\r\n"
                                      "Где Х - текущая буква диска.");
    return start + QStringLiteral("Подключите устройство и дождитесь, пока система смонтирует его диск.\r\n"
                                  "На подключенном устройстве путь к базе данных выглядит так:\r\n"
                                  "Х/Sony_Reader/database/books.db\r\n"
                                  "Где Х - папка, в которой смонтирован диск устройства,\r\n"
                                  "например /media/пользователь/READER.");
}

QString readerChoiceText(const QString &label, const QString &root)
{
    return label.isEmpty() ? root : label + QStringLiteral(" (") + root + QLatin1Char(')');
}

QString findReaderRootOrSay(const VolumeList &volumes, Dialogs &dialogs, const QString &preferred)
{
    const QStringList readers = readerRoots(volumes);
    if (readers.isEmpty()) {
        dialogs.message(deviceNotFoundMessage());
        return {};
    }
    if (readers.size() == 1)
        return readers.constFirst();
    if (!preferred.isEmpty() && readers.contains(preferred))
        return preferred;
    QStringList choices;
    for (const QString &root : readers)
        choices << readerChoiceText(volumes.label(root), root);
    const int picked = dialogs.chooseItem(
        QStringLiteral("Выбор устройства"),
        QStringLiteral("Подключено несколько устройств с библиотекой Sony_Reader\r\n"
                       "(например, память читалки и её карта памяти).\r\nВыберите, с каким работать:"),
        choices);
    return picked >= 0 && picked < readers.size() ? readers.at(picked) : QString();
}
