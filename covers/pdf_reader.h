#pragma once

#include "covers/rgb_pixels.h"

#include <QString>

#include <optional>

// What a PDF says of itself in its document information (or, lacking that, its XMP metadata).
struct PdfFacts
{
    QString title; // empty when it names none
    QString author;
};

// Reads PDF books. The rendering library hands out images of the window system's kind, so the core
// knows PDFs only through this interface; the application gives it the real one.
class PdfReader
{
public:
    virtual ~PdfReader() = default;
    // Nothing for an encrypted or damaged PDF.
    virtual std::optional<PdfFacts> facts(const QString &path) const = 0;
    // The first page as large as fits `maxWidth` x `maxHeight`; nothing for an encrypted or
    // damaged PDF, or one whose page takes too long to render.
    virtual std::optional<RgbPixels> firstPage(const QString &path, int maxWidth, int maxHeight) const = 0;
};
