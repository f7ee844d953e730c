#include "collections/statistics.h"

#include "collections/library_page.h"

PageStatistics updateStatistics(LibraryPage &)
{
    return {};
}
