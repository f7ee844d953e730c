#include "sync/sync_messages.h"

#include <QDir>

namespace {
constexpr qsizetype MessageListLength = 20;
} // namespace

namespace SyncMessages {

QString success()
{
    return QStringLiteral("Синхронизация успешно завершена! \r\n"
                          "Отключите устройство и можно сразу же приступать к чтению книг.\r\n"
                          "При возникновении ошибки, перезапустите устройство.");
}

QString booksNotWritten(const QStringList &books)
{
    QString message = QStringLiteral("Синхронизация завершена, но не все книги попали на устройство.\r\n"
                                     "Этих книг нет в библиотеке устройства:");
    for (qsizetype i = 0; i < books.size() && i < MessageListLength; ++i)
        message += QStringLiteral("\r\n") + books.at(i);
    if (books.size() > MessageListLength)
        message += QStringLiteral("\r\n... и ещё ") + QString::number(books.size() - MessageListLength);
    return message + QStringLiteral("\r\nОни остались в списке файлов.");
}

QString keptAsideNote(const QStringList &folders)
{
    QString note;
    for (const QString &folder : folders)
        note += QStringLiteral("\r\nКниги, взятые из папки книг устройства, остались в папке:\r\n") +
                QDir::toNativeSeparators(folder);
    return note;
}

} // namespace SyncMessages
