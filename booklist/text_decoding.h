#pragma once

#include <QByteArrayView>
#include <QString>

// Text taken from a book file: UTF-8 when the bytes are valid UTF-8 (sequences of one to
// four bytes), otherwise Windows-1251, the code page of older Russian books.
QString decodeBookText(QByteArrayView bytes);

// Windows-1251 through Qt's codec where Qt has one, otherwise through the system's.
QString decodeWindows1251(QByteArrayView bytes);

// Windows-1251 through the operating system's own codec (iconv, or the Windows code page
// API), for Qt builds without a Windows-1251 codec.
QString decodeWindows1251WithSystemCodec(QByteArrayView bytes);
