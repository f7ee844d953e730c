#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

struct zip;

// A ZIP archive opened for reading with libzip. Every read is bounded: an entry is never inflated
// past the size its directory declares nor past the caller's limit, so a small archive that would
// unpack to gigabytes costs no more than the limit.
class ZipArchive
{
public:
    struct Entry
    {
        QByteArray name; // as stored, in UTF-8 where the archive says so, guessed otherwise
        qint64 size = 0; // what its directory says it unpacks to
        bool encrypted = false;
        bool readable = false; // stored or compressed in a way libzip inflates, not encrypted
    };

    // Nothing when the file is not a ZIP archive or cannot be read.
    static std::optional<ZipArchive> open(const QString &path);
    // The same for an archive held in memory (which must outlive the object).
    static std::optional<ZipArchive> openBytes(QByteArrayView bytes);

    qint64 entryCount() const;
    std::optional<Entry> entry(qint64 index) const;
    // The index of the entry named `name` exactly; nothing when there is none.
    std::optional<qint64> find(const QByteArray &name) const;

    // The whole entry, when it is readable, declares at most `limit` bytes and inflates to exactly
    // what it declares with its checksum right; nothing otherwise.
    std::optional<QByteArray> read(qint64 index, qint64 limit) const;
    // At most its first `count` bytes; nothing when it cannot be inflated that far.
    std::optional<QByteArray> readHead(qint64 index, qint64 count) const;
    // Hands the whole entry to `sink` a block at a time, on the terms of read(); false when the
    // entry breaks them or `sink` answers false.
    bool readInto(qint64 index, qint64 limit, const std::function<bool(const char *, qint64)> &sink) const;

private:
    struct Closer
    {
        void operator()(zip *archive) const;
    };
    explicit ZipArchive(zip *archive) : m_archive(archive) {}

    std::unique_ptr<zip, Closer> m_archive;
};
