#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The first `limit` bytes of a book file (all of it when shorter), or nothing when it has
// vanished or cannot be read. Only regular files are read: a folder named like a book is
// unreadable, and a pipe named like one must not block the application.
std::optional<QByteArray> readBookHead(const QString &path, qsizetype limit);

// The same for an FB2 book, plain or zipped: of a zipped one the book inside is read.
std::optional<QByteArray> readFb2Head(const QString &path, qsizetype limit);
