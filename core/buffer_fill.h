#pragma once

#include <QByteArray>

#include <optional>

// Fills a buffer of `size` bytes from a source read a piece at a time: `read(into, count)` gives
// how many bytes it put at `into` (0 at the end, negative on failure). The buffer comes back cut
// to what was read; nothing when a read failed.
template <typename Read> std::optional<QByteArray> fillBuffer(qsizetype size, Read read)
{
    QByteArray buffer(size, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < buffer.size()) {
        const qint64 chunk = read(buffer.data() + got, buffer.size() - got);
        if (chunk < 0)
            return std::nullopt;
        if (chunk == 0)
            break;
        got += qsizetype(chunk);
    }
    buffer.truncate(got);
    return buffer;
}
