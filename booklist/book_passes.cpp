#include "booklist/book_passes.h"

void runSizePass(BookTable &, Progress &, const Clock &)
{}

void runMetadataPass(BookTable &, Progress &)
{}
