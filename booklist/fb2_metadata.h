#pragma once

#include "booklist/declared_encoding.h"
#include "core/regex.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

// How much of an FB2 file is searched for its author and title: the description comes first.
constexpr qsizetype Fb2HeadSize = 10000;

struct Fb2Metadata
{
    QString author;               // first name, a blank, last name; empty when neither is found
    std::optional<QString> title; // nothing when the head holds no book title
    QString series;               // the first sequence of the title-info; empty when none
    QString seriesNumber;         // its number as written; empty when none
};

// Reads the author, title and series from the head of an FB2 file with the patterns compiled
// once for a whole pass. The text is decoded in the encoding the book's XML declaration
// names where its bytes are valid for it; a book in UTF-16 is searched as UTF-8.
class Fb2MetadataReader
{
public:
    Fb2MetadataReader();
    // Only the first Fb2HeadSize bytes of `head` are searched.
    Fb2Metadata read(QByteArrayView head) const;

private:
    Fb2Metadata search(QByteArrayView text, const QByteArray &encoding) const;
    void readSeries(QByteArrayView text, const QByteArray &encoding, Fb2Metadata &metadata) const;
    QString attribute(const Regex &pattern, QByteArrayView tag, const QByteArray &encoding) const;

    // Converters kept from book to book; they change no result, so reading stays const.
    mutable DeclaredTextDecoder m_decoder;
    Regex m_firstName;
    Regex m_lastName;
    Regex m_title;
    Regex m_seriesName;
    Regex m_seriesNumber;
};
