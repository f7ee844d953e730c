#include "sync/sync_messages.h"

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

QString notCompleted()
{
    return QStringLiteral("Синхронизация не завершена: новая библиотека записана в базу данных устройства,\r\n"
                          "но не все её файлы и превью удалось поставить на место.\r\n"
                          "Подключите устройство и повторите синхронизацию: она завершит начатое.");
}

QString journalNotWritten()
{
    return QStringLiteral("Не удалось начать запись на устройство: оно недоступно для записи или переполнено.\r\n"
                          "На устройстве ничего не изменено.");
}

QString volumeFull()
{
    return QStringLiteral("На устройстве закончилось место, синхронизация не завершена.\r\n"
                          "На устройстве осталась прежняя библиотека.\r\n"
                          "Освободите место на устройстве и повторите синхронизацию.");
}

} // namespace SyncMessages
