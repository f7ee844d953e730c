#include "booklist/epub_pdf_metadata.h"

#include "booklist/book_row.h"
#include "core/zip_archive.h"
#include "covers/book_formats.h"
#include "covers/epub_package.h"
#include "covers/pdf_reader.h"

namespace {
void take(BookRow &row, const QString &title, const QString &author)
{
    row.title = title.isEmpty() ? row.file_name : title;
    row.author = author;
}

bool readEpub(BookRow &row)
{
    const std::optional<EpubPackage> package = readEpubPackageAt(row.full_path);
    if (!package)
        return false;
    take(row, package->title, package->author);
    row.series = package->series;
    row.series_number = package->seriesNumber;
    return true;
}

bool readPdf(BookRow &row, const PdfReader &pdf)
{
    const std::optional<PdfFacts> facts = pdf.facts(row.full_path);
    if (!facts)
        return false;
    take(row, facts->title, facts->author);
    return true;
}
} // namespace

bool readEpubOrPdfMetadata(BookRow &row, BookKind kind, const BookFormats &formats)
{
    if (!formats.epubAndPdf)
        return false;
    if (kind == BookKind::Epub)
        return readEpub(row);
    if (kind == BookKind::Pdf && formats.pdf)
        return readPdf(row, *formats.pdf);
    return false;
}
