#pragma once

#include "booklist/book_file_kinds.h"

struct BookFormats;
struct BookRow;

// With EPUB and PDF switched on in `formats`, reads the title and author an EPUB's package document
// or a PDF's document information gives into `row`: the title, or the file name where the book
// names none, and the author, or empty; an EPUB's series too. False, the row untouched, for other
// books and for an EPUB or PDF that cannot be read (damaged, encrypted), which are named after
// their file as before.
bool readEpubOrPdfMetadata(BookRow &row, BookKind kind, const BookFormats &formats);
