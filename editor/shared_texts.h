#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <unordered_map>

class SqliteRow;

// Texts that many records share, such as authors and MIME types: each is decoded once and the
// rows that have it share one copy. A library names a few thousand authors for tens of
// thousands of books, and four MIME types.
class SharedTexts
{
public:
    // The cell as SqliteRow::text reads it. Within one column of one query that reading
    // depends only on the stored bytes, so equal bytes give the text already made.
    QString text(const SqliteRow &row, int column);

private:
    struct Hash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view bytes) const { return std::hash<std::string_view>()(bytes); }
    };
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> m_texts;
    // The last text asked for, which the next record most often repeats.
    const std::pair<const std::string, QString> *m_last = nullptr;
};
