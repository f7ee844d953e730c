#pragma once

#include <QStringView>
#include <QtGlobal>

#include <iterator>

// The decimal text of a number, as QString::number writes it, without its general machinery:
// a load writes four of them for each of tens of thousands of books.
class DecimalDigits
{
public:
    explicit DecimalDigits(qint64 value)
    {
        quint64 magnitude = value < 0 ? 0 - quint64(value) : quint64(value);
        // Two digits a step: the dates of a library have thirteen.
        while (magnitude >= 100) {
            const unsigned pair = unsigned(magnitude % 100);
            magnitude /= 100;
            m_digits[--m_first] = char16_t(u'0' + pair % 10);
            m_digits[--m_first] = char16_t(u'0' + pair / 10);
        }
        do {
            m_digits[--m_first] = char16_t(u'0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (value < 0)
            m_digits[--m_first] = u'-';
    }

    QStringView view() const { return QStringView(m_digits + m_first, qsizetype(std::size(m_digits)) - m_first); }

private:
    char16_t m_digits[20];
    qsizetype m_first = qsizetype(std::size(m_digits));
};
