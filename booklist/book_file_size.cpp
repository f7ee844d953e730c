#include "booklist/book_file_size.h"

BookFileSize::BookFileSize(QString text) : m_text(std::move(text))
{
    // The sizes the program writes are plain digits, read directly; anything else goes
    // through the general conversion, which also takes a 19-digit number.
    const qsizetype length = m_text.size();
    if (length > 0 && length <= 18) {
        m_plainDigits = true;
        for (const QChar character : std::as_const(m_text)) {
            const unsigned digit = unsigned(character.unicode()) - u'0';
            if (digit > 9) {
                m_plainDigits = false;
                break;
            }
            m_bytes = m_bytes * 10 + qint64(digit);
        }
        if (m_plainDigits)
            return;
    }
    bool isNumber = false;
    const qint64 size = m_text.toLongLong(&isNumber);
    m_bytes = isNumber && size > 0 ? size : 0;
}
