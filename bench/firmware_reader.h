#pragma once

#include <QString>

// The collections of a reader that writeFirmwareReader() fills.
inline constexpr int FirmwareReaderCollections = 500;

// Makes `root` (ending in a separator) a reader whose books.db the firmware filled: n books
// in the firmware's columns, 500 collections, every book in one collection and every fifth
// in a second one as well.
void writeFirmwareReader(const QString &root, int n);
