#pragma once

#include <QString>

#include <optional>

// A digest of a file's bytes: two reads that give the same digest found the same bytes. Nothing
// when the file cannot be read whole.
std::optional<quint64> fileContentDigest(const QString &path);
