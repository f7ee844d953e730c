#pragma once

#include <QStringList>

// One field of every row of a table, in row order: `fieldTexts(page.books, &BookRow::collection)`.
template <typename Table, typename Field> QStringList fieldTexts(const Table &table, Field field)
{
    QStringList texts;
    texts.reserve(table.rowCount());
    for (const auto &row : table.rows())
        texts << QString(row.*field);
    return texts;
}
