#include "sync/thumbnail_staging.h"

#include "core/file_operations.h"
#include "reader/folder_clearing.h"
#include "reader/reader_layout.h"

#include <QDir>
#include <QFileInfo>

namespace {
QString withoutSeparator(const QString &folder)
{
    return QDir::cleanPath(folder);
}
} // namespace

ThumbnailStaging::ThumbnailStaging(const QString &deviceRoot, FileOperations &files)
    : m_deviceRoot(deviceRoot), m_files(files), m_thumbnails(ReaderLayout::thumbnailsFolderPath(deviceRoot)),
      m_staged(ReaderLayout::onDevice(deviceRoot, ReaderLayout::StagedThumbnailsFolder))
{}

void ThumbnailStaging::clearLeftovers()
{
    if (!QFileInfo(m_staged).isDir())
        return;
    clearFolderTree(m_staged, m_files);
    m_files.removeFolder(withoutSeparator(m_staged));
}

QString ThumbnailStaging::folderFor(const QString &recordId) const
{
    return m_staged + recordId + QDir::toNativeSeparators(ReaderLayout::ThumbnailSubfolder);
}

QString ThumbnailStaging::previousFolder(qint64 previousId) const
{
    return m_thumbnails + QString::number(previousId);
}

bool ThumbnailStaging::adopt(qint64 previousId, const QString &recordId)
{
    const QString from = previousFolder(previousId);
    if (!QFileInfo::exists(from + QDir::toNativeSeparators(ReaderLayout::ThumbnailSubfolder) +
                           ReaderLayout::ThumbnailFileName))
        return false;
    if (!m_files.move(from, m_staged + recordId))
        return false;
    m_adopted.insert(recordId, previousId);
    return true;
}

void ThumbnailStaging::install(const std::function<void()> &beforeSubfolder)
{
    m_adopted.clear();
    if (!QFileInfo(m_staged).isDir())
        return;
    const QString thumbnails = withoutSeparator(m_thumbnails);
    // What could not be deleted stays where it was; otherwise the whole folder changes places at once.
    if (!QFileInfo(thumbnails).isDir() ||
        QDir(thumbnails).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        m_files.removeFolder(thumbnails);
        if (m_files.move(withoutSeparator(m_staged), thumbnails))
            return;
    }
    const QStringList staged =
        QDir(m_staged).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : staged) {
        if (beforeSubfolder)
            beforeSubfolder();
        m_files.move(m_staged + entry, m_thumbnails + entry);
    }
    clearLeftovers();
}

void ThumbnailStaging::abandon()
{
    for (auto adopted = m_adopted.cbegin(); adopted != m_adopted.cend(); ++adopted)
        m_files.move(m_staged + adopted.key(), previousFolder(adopted.value()));
    m_adopted.clear();
    clearLeftovers();
}
