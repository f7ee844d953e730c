// Links the core library alone: any widget dependency in core fails this build.
#ifdef QT_WIDGETS_LIB
#error "core must not depend on Qt Widgets"
#endif
#include "booklist/book_table.h"

int main()
{
    BookTable table;
    return table.rowCount() == 0 ? 0 : 1;
}
