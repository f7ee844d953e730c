#pragma once

#include "booklist/book_row.h"

// The order of the books of one series: by their numbers in it, then by title. A number that
// begins with digits goes by their value, what follows them breaking ties ("2" < "2a" < "10");
// any other number goes after those as text, and a book without one after all numbered ones.
// Texts compare ignoring letter case.
bool comesEarlierInSeries(const BookRow &a, const BookRow &b);
