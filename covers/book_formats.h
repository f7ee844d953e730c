#pragma once

class PdfReader;

// The book formats read beyond plain FB2, each switched on by the user. Switched off, a book is
// added and written exactly as without them.
struct BookFormats
{
    bool zippedFb2 = false;         // a ZIP archive of one FB2 book is taken as that book
    bool epubAndPdf = false;        // titles, authors and covers of EPUB and PDF books are read
    const PdfReader *pdf = nullptr; // how PDFs are read; without one they stay as they are
};
