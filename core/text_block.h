#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringView>

#include <vector>

// Texts made together in one block of memory that they share, as copies of one QString share
// theirs: the texts of a few records then cost one allocation instead of one each. Each text is a
// QString like any other; the block goes with the last of them, and a text that is changed
// first takes memory of its own, as any shared QString does.
class TextBlock
{
public:
    // Appends to the text being written; end() closes it.
    void append(QStringView text);
    // Appends UTF-8, decoded exactly as QString::fromUtf8 decodes it.
    void appendUtf8(QByteArrayView utf8);
    // Closes the text being written and returns its number in the block. A text that nothing
    // but null texts were appended to is a null QString, as QString() + QString() is.
    int end();
    // The same, but where the text equals the end of text `earlier` it is made that end of it,
    // taking no memory of its own.
    int endAsTailOf(int earlier);
    // A text that is text `text` from position `from` on, taking no memory of its own.
    int tail(int text, qsizetype from);
    // A text as written so far.
    QStringView view(int text) const;

    // Makes the block; take() hands out its texts, each once, until clear() starts the next
    // block.
    void seal();
    QString take(int text) { return std::move(m_made.at(std::size_t(text))); }
    void clear();

private:
    struct Span
    {
        qsizetype from = 0;
        qsizetype size = 0;
        bool null = true;
    };
    // Every text followed by its terminating 0, as a QString holds it; the scratch space keeps
    // its capacity from block to block.
    std::vector<char16_t> m_chars;
    std::vector<Span> m_spans;
    Span m_open;
    std::vector<QString> m_made;
    QStringDecoder m_utf8{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
};
