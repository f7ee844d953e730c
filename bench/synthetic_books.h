#pragma once

#include <QByteArray>
#include <QString>

// The head of an FB2 book as libraries hold them: declaration, description with genre,
// author, title and an annotation, then the start of the body; `size` bytes in all, in
// UTF-8 or Windows-1251, names varying with `seed`.
QByteArray syntheticFb2(int seed, bool windows1251, int size);

// Writes `bytes` to `path`, creating its folder.
void writeBenchFile(const QString &path, const QByteArray &bytes);
