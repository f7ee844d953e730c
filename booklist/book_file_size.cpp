#include "booklist/book_file_size.h"

qint64 BookFileSize::bytesOf(const QString &text)
{
    // The sizes the program writes are plain digits, read directly; anything else goes
    // through the general conversion, which also takes a 19-digit number.
    const qsizetype length = text.size();
    if (length > 0 && length <= 18) {
        qint64 size = 0;
        bool digitsOnly = true;
        for (const QChar character : text) {
            const unsigned digit = unsigned(character.unicode()) - u'0';
            if (digit > 9) {
                digitsOnly = false;
                break;
            }
            size = size * 10 + qint64(digit);
        }
        if (digitsOnly)
            return size;
    }
    bool isNumber = false;
    const qint64 size = text.toLongLong(&isNumber);
    return isNumber && size > 0 ? size : 0;
}
