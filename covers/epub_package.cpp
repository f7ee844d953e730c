#include "covers/epub_package.h"

#include "core/zip_archive.h"

#include <QHash>
#include <QSet>
#include <QUrl>
#include <QXmlStreamReader>

namespace {
// Far beyond what real package documents and cover pages take; a larger one is no EPUB's.
constexpr qint64 MaxContainerBytes = 64 * 1024;
constexpr qint64 MaxPackageBytes = 4 * 1024 * 1024;
constexpr qint64 MaxCoverPageBytes = 1024 * 1024;
// As much as the largest cover an FB2 book may carry, decoded.
constexpr qint64 MaxCoverPictureBytes = 48 * 1024 * 1024;

std::optional<QByteArray> readEntry(const ZipArchive &archive, const QByteArray &name, qint64 limit)
{
    const std::optional<qint64> index = archive.find(name);
    return index ? archive.read(*index, limit) : std::nullopt;
}

// An attribute by its local name, whatever namespace prefix the package gives it.
QString attribute(const QXmlStreamReader &xml, QLatin1StringView name)
{
    for (const QXmlStreamAttribute &item : xml.attributes())
        if (item.name() == name)
            return item.value().toString();
    return {};
}

bool hasToken(const QString &list, QLatin1StringView token)
{
    return list.split(u' ', Qt::SkipEmptyParts).contains(token);
}

QByteArray packagePath(const QByteArray &container)
{
    QXmlStreamReader xml(container);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1StringView("rootfile"))
            return epubEntryPath(QByteArray(), attribute(xml, QLatin1StringView("full-path")));
    return {};
}

struct Creator
{
    QString id;
    QString name;
    QString fileAs;
    bool author = false;
};

class PackageReading
{
public:
    explicit PackageReading(const QByteArray &packageEntry) : m_entry(packageEntry) {}

    EpubPackage read(const QByteArray &document)
    {
        QXmlStreamReader xml(document);
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QStringView name = xml.name();
            if (name == QLatin1StringView("title"))
                m_titles.append({attribute(xml, QLatin1StringView("id")), xml.readElementText().simplified()});
            else if (name == QLatin1StringView("creator"))
                readCreator(xml);
            else if (name == QLatin1StringView("meta"))
                readMeta(xml);
            else if (name == QLatin1StringView("item"))
                readItem(xml);
            else if (name == QLatin1StringView("reference") &&
                     attribute(xml, QLatin1StringView("type"))
                             .compare(QLatin1StringView("cover"), Qt::CaseInsensitive) == 0 &&
                     m_guideCover.isEmpty())
                m_guideCover = epubEntryPath(m_entry, attribute(xml, QLatin1StringView("href")));
        }
        return result();
    }

private:
    void readCreator(QXmlStreamReader &xml)
    {
        Creator creator;
        creator.id = attribute(xml, QLatin1StringView("id"));
        creator.fileAs = attribute(xml, QLatin1StringView("file-as")).simplified();
        creator.author = attribute(xml, QLatin1StringView("role")) == QLatin1StringView("aut");
        creator.name = xml.readElementText().simplified();
        m_creators.append(creator);
    }

    // EPUB 3 refines an element by its id; EPUB 2 names the cover's manifest item, and the
    // series in the metadata that e-book managers write ("calibre:series").
    void readMeta(QXmlStreamReader &xml)
    {
        const QString name = attribute(xml, QLatin1StringView("name"));
        if (name == QLatin1StringView("cover")) {
            if (m_coverId.isEmpty())
                m_coverId = attribute(xml, QLatin1StringView("content"));
            return;
        }
        if (name == QLatin1StringView("calibre:series") || name == QLatin1StringView("calibre:series_index")) {
            QString &kept = name.endsWith(QLatin1StringView("index")) ? m_managerSeries.number : m_managerSeries.name;
            if (kept.isEmpty())
                kept = attribute(xml, QLatin1StringView("content")).simplified();
            return;
        }
        QString refines = attribute(xml, QLatin1StringView("refines"));
        const QString property = attribute(xml, QLatin1StringView("property"));
        if (property == QLatin1StringView("belongs-to-collection")) {
            m_collections.append({attribute(xml, QLatin1StringView("id")), xml.readElementText().simplified()});
            return;
        }
        if (!refines.startsWith(u'#'))
            return;
        refines.remove(0, 1);
        const QString value = xml.readElementText().simplified();
        if (property == QLatin1StringView("role") && value == QLatin1StringView("aut"))
            m_refinedAuthors.insert(refines);
        else if (property == QLatin1StringView("file-as"))
            m_refinedFileAs.insert(refines, value);
        else if (property == QLatin1StringView("title-type") && value == QLatin1StringView("main"))
            m_mainTitleId = refines;
        else if (property == QLatin1StringView("collection-type"))
            m_collectionTypes.insert(refines, value);
        else if (property == QLatin1StringView("group-position"))
            m_groupPositions.insert(refines, value);
    }

    // The first collection the book belongs to that is a series, or of no stated kind; else the
    // series an e-book manager wrote.
    void takeSeries(EpubPackage &package) const
    {
        for (const auto &[id, name] : m_collections) {
            const QString type = m_collectionTypes.value(id);
            if (!name.isEmpty() && (type.isEmpty() || type == QLatin1StringView("series"))) {
                package.series = name;
                package.seriesNumber = m_groupPositions.value(id);
                return;
            }
        }
        if (!m_managerSeries.name.isEmpty()) {
            package.series = m_managerSeries.name;
            package.seriesNumber = m_managerSeries.number;
        }
    }

    void readItem(QXmlStreamReader &xml)
    {
        const QByteArray path = epubEntryPath(m_entry, attribute(xml, QLatin1StringView("href")));
        m_items.insert(attribute(xml, QLatin1StringView("id")), path);
        if (m_coverImage.isEmpty() &&
            hasToken(attribute(xml, QLatin1StringView("properties")), QLatin1StringView("cover-image")))
            m_coverImage = path;
    }

    EpubPackage result() const
    {
        EpubPackage package;
        for (const auto &[id, text] : m_titles)
            if (!text.isEmpty() && (package.title.isEmpty() || (!m_mainTitleId.isEmpty() && id == m_mainTitleId)))
                package.title = text;
        // A book lists its illustrators and editors as creators too: the first author is the one.
        const Creator *chosen = nullptr;
        for (const Creator &creator : m_creators) {
            const bool author = creator.author || (!creator.id.isEmpty() && m_refinedAuthors.contains(creator.id));
            if (author) {
                chosen = &creator;
                break;
            }
            if (!chosen)
                chosen = &creator;
        }
        if (chosen) {
            // The sorting form ("Martin, François") is taken only when the name itself is missing.
            package.author = chosen->name;
            if (package.author.isEmpty())
                package.author = chosen->fileAs.isEmpty() ? m_refinedFileAs.value(chosen->id) : chosen->fileAs;
        }
        takeSeries(package);
        package.coverImage = m_coverImage.isEmpty() ? m_items.value(m_coverId) : m_coverImage;
        package.coverPage = m_guideCover;
        return package;
    }

    QByteArray m_entry;
    QList<std::pair<QString, QString>> m_titles; // id, text
    QString m_mainTitleId;
    QList<Creator> m_creators;
    QSet<QString> m_refinedAuthors;
    QHash<QString, QString> m_refinedFileAs;
    QList<std::pair<QString, QString>> m_collections; // id, name
    QHash<QString, QString> m_collectionTypes;        // collection id -> its kind
    QHash<QString, QString> m_groupPositions;         // collection id -> the book's place in it
    struct
    {
        QString name;
        QString number;
    } m_managerSeries;
    QHash<QString, QByteArray> m_items; // manifest id -> archive entry
    QString m_coverId;
    QByteArray m_coverImage;
    QByteArray m_guideCover;
};

// The first picture a cover page shows: an <img src> or an SVG <image href>.
QByteArray firstPictureOf(const QByteArray &page, const QByteArray &pageEntry)
{
    QXmlStreamReader xml(page);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1StringView("img"))
            return epubEntryPath(pageEntry, attribute(xml, QLatin1StringView("src")));
        if (xml.name() == QLatin1StringView("image"))
            return epubEntryPath(pageEntry, attribute(xml, QLatin1StringView("href")));
    }
    return {};
}
} // namespace

QByteArray epubEntryPath(const QByteArray &base, const QString &href)
{
    QString reference = href;
    const qsizetype fragment = reference.indexOf(u'#');
    if (fragment >= 0)
        reference.truncate(fragment);
    reference = QUrl::fromPercentEncoding(reference.toUtf8());
    if (reference.isEmpty() || reference.contains(QLatin1StringView("://")))
        return {};
    QStringList parts;
    if (!reference.startsWith(u'/')) {
        parts = QString::fromUtf8(base).split(u'/');
        parts.removeLast(); // the base's own name
    }
    for (const QString &part : reference.split(u'/')) {
        if (part.isEmpty() || part == QLatin1StringView("."))
            continue;
        if (part == QLatin1StringView("..")) {
            if (parts.isEmpty())
                return {};
            parts.removeLast();
            continue;
        }
        parts << part;
    }
    return parts.join(u'/').toUtf8();
}

std::optional<EpubPackage> readEpubPackage(const ZipArchive &archive)
{
    const std::optional<QByteArray> container =
        readEntry(archive, QByteArrayLiteral("META-INF/container.xml"), MaxContainerBytes);
    if (!container)
        return std::nullopt;
    const QByteArray entry = packagePath(*container);
    const std::optional<QByteArray> document =
        entry.isEmpty() ? std::nullopt : readEntry(archive, entry, MaxPackageBytes);
    if (!document)
        return std::nullopt;
    return PackageReading(entry).read(*document);
}

std::optional<QByteArray> epubCoverPicture(const ZipArchive &archive, const EpubPackage &package)
{
    QByteArray picture = package.coverImage;
    if (picture.isEmpty() && !package.coverPage.isEmpty()) {
        const std::optional<QByteArray> page = readEntry(archive, package.coverPage, MaxCoverPageBytes);
        if (page)
            picture = firstPictureOf(*page, package.coverPage);
    }
    if (picture.isEmpty())
        return std::nullopt;
    return readEntry(archive, picture, MaxCoverPictureBytes);
}

std::optional<EpubPackage> readEpubPackageAt(const QString &path)
{
    const std::optional<ZipArchive> archive = ZipArchive::open(path);
    return archive ? readEpubPackage(*archive) : std::nullopt;
}
