#pragma once

#include <QHash>
#include <QString>

#include <functional>

class FileOperations;

// New thumbnails are made beside the reader's thumbnails folder, where no record of the library on
// the reader can point, and take its place only once the library that names them is committed. So
// at no moment does a record show another book's cover: until the commit the old records find
// their own thumbnail or none, after it the new records find theirs or none.
class ThumbnailStaging
{
public:
    ThumbnailStaging(const QString &deviceRoot, FileOperations &files);

    // Deletes what a run that stopped half-way left staged.
    void clearLeftovers();

    // The folder that receives the thumbnail of the new record `recordId`, ending in a separator.
    QString folderFor(const QString &recordId) const;

    // Moves the thumbnail folder of the previous record `previousId` to the new record `recordId`:
    // the same book, whose cover need not be made again. False when there is none to move.
    bool adopt(qint64 previousId, const QString &recordId);

    // After the commit: the staged thumbnails become the reader's. Whatever the thumbnails folder
    // still holds that could not be deleted stays there.
    void install(const std::function<void()> &beforeSubfolder);

    // After a failure: adopted thumbnails return to their previous records, the rest is deleted.
    void abandon();

private:
    QString previousFolder(qint64 previousId) const;

    QString m_deviceRoot;
    FileOperations &m_files;
    QString m_thumbnails;
    QString m_staged;
    QHash<QString, qint64> m_adopted; // new record id -> previous record id
};
