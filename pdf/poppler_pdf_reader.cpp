#include "pdf/poppler_pdf_reader.h"

#include <QElapsedTimer>
#include <QImage>
#include <QXmlStreamReader>

#include <poppler-qt6.h>

#include <algorithm>
#include <memory>

namespace {
constexpr qint64 RenderTimeLimitMs = 5000;

std::unique_ptr<Poppler::Document> openUnlocked(const QString &path)
{
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    if (!document || document->isLocked())
        return nullptr;
    return document;
}

// The first rdf:li of dc:title and of dc:creator in an XMP packet.
PdfFacts xmpFacts(const QString &xmp)
{
    PdfFacts facts;
    QXmlStreamReader xml(xmp);
    QString *within = nullptr;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement &&
            (xml.name() == QLatin1StringView("title") || xml.name() == QLatin1StringView("creator")))
            within = nullptr;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.namespaceUri() == QLatin1StringView("http://purl.org/dc/elements/1.1/"))
            within = xml.name() == QLatin1StringView("title")     ? &facts.title
                     : xml.name() == QLatin1StringView("creator") ? &facts.author
                                                                  : nullptr;
        else if (within && within->isEmpty() && xml.name() == QLatin1StringView("li"))
            *within = xml.readElementText().simplified();
    }
    return facts;
}

bool renderTakesTooLong(const QVariant &closure)
{
    return static_cast<const QElapsedTimer *>(closure.value<void *>())->hasExpired(RenderTimeLimitMs);
}

void quiet(const QString &, const QVariant &)
{}
} // namespace

PopplerPdfReader::PopplerPdfReader()
{
    // A damaged PDF is an expected input: poppler's complaints about it are not printed.
    Poppler::setDebugErrorFunction(quiet, QVariant());
}

std::optional<PdfFacts> PopplerPdfReader::facts(const QString &path) const
{
    const std::unique_ptr<Poppler::Document> document = openUnlocked(path);
    if (!document)
        return std::nullopt;
    PdfFacts facts{document->info(QStringLiteral("Title")).simplified(),
                   document->info(QStringLiteral("Author")).simplified()};
    if (facts.title.isEmpty() || facts.author.isEmpty()) {
        const PdfFacts xmp = xmpFacts(document->metadata());
        if (facts.title.isEmpty())
            facts.title = xmp.title;
        if (facts.author.isEmpty())
            facts.author = xmp.author;
    }
    return facts;
}

std::optional<RgbPixels> PopplerPdfReader::firstPage(const QString &path, int maxWidth, int maxHeight) const
{
    const std::unique_ptr<Poppler::Document> document = openUnlocked(path);
    if (!document || document->numPages() < 1)
        return std::nullopt;
    const std::unique_ptr<Poppler::Page> page = document->page(0);
    const QSizeF points = page ? page->pageSizeF() : QSizeF();
    if (points.width() <= 0 || points.height() <= 0)
        return std::nullopt;
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    // Points are 1/72 inch: the resolution at which the page just fits.
    const double dpi = 72.0 * std::min(maxWidth / points.width(), maxHeight / points.height());
    QElapsedTimer clock;
    clock.start();
    QImage image = page->renderToImage(dpi, dpi, -1, -1, -1, -1, Poppler::Page::Rotate0, nullptr, nullptr,
                                       renderTakesTooLong, QVariant::fromValue<void *>(&clock));
    if (image.isNull() || clock.hasExpired(RenderTimeLimitMs))
        return std::nullopt;
    if (image.width() > maxWidth || image.height() > maxHeight)
        image = image.scaled(maxWidth, maxHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    image = image.convertToFormat(QImage::Format_RGB888);
    RgbPixels pixels;
    pixels.width = image.width();
    pixels.height = image.height();
    const qsizetype rowBytes = qsizetype(pixels.width) * 3;
    pixels.samples.resize(rowBytes * pixels.height);
    for (int y = 0; y < pixels.height; ++y)
        std::copy_n(image.constScanLine(y), rowBytes, pixels.samples.data() + rowBytes * y);
    return pixels;
}
