#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

struct LibraryPage;

// The books of the synchronisation phases: n books on shelves of 100 below "Книги", half FB2 with
// covers, the rest PDF, EPUB and TXT of the sizes libraries hold (about 0.5 MB a book), and 100
// more below "Новые" that a re-synchronisation adds. Their times lie in the past, as a library's do.
class SyncLibrary
{
public:
    explicit SyncLibrary(int n);

    QString books() const { return m_folder.filePath(QStringLiteral("Книги")); }
    QString newBooks() const { return m_folder.filePath(QStringLiteral("Новые")); }
    qint64 bytes() const { return m_bytes; }

    // The creation page as the intake and one collection per shelf leave it. Changed: the new books
    // join the first shelf's collection and the second shelf's books move to the third's.
    void fillPage(LibraryPage &page, bool changed) const;

private:
    QTemporaryDir m_folder;
    int m_count;
    qint64 m_bytes = 0;
};

// A volume for the reader: a tmpfs of its own when root may mount one, else /dev/shm.
class ReaderVolume
{
public:
    ReaderVolume();
    ~ReaderVolume();
    ReaderVolume(const ReaderVolume &) = delete;
    ReaderVolume &operator=(const ReaderVolume &) = delete;

    // The device root, ending in '/'.
    QString root() const;
    const char *kind() const { return m_mounted ? "a tmpfs of its own" : "/dev/shm"; }
    // Makes it a reader with the firmware's empty library. False when the schema cannot be read.
    bool makeReader() const;

private:
    QTemporaryDir m_mountPoint;
    bool m_mounted = false;
    std::unique_ptr<QTemporaryDir> m_shared;
};
