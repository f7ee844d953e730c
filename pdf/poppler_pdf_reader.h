#pragma once

#include "covers/pdf_reader.h"

// Reads PDFs with poppler. A page is rendered no larger than asked and given up after a few
// seconds, so one heavy PDF costs a bounded time and a picture of the reader's screen at most.
class PopplerPdfReader : public PdfReader
{
public:
    PopplerPdfReader();
    std::optional<PdfFacts> facts(const QString &path) const override;
    std::optional<RgbPixels> firstPage(const QString &path, int maxWidth, int maxHeight) const override;
};
