#pragma once

#include "covers/book_formats.h"

// The user's choice of the book formats read beyond plain FB2, kept between runs in the
// application's settings. Off until the user turns it on.
namespace FormatSettings {
BookFormats load();
void save(const BookFormats &formats);
} // namespace FormatSettings
