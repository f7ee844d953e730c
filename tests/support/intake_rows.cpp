#include "support/intake_rows.h"

#include "booklist/book_intake.h"
#include "booklist/book_table.h"
#include "support/fixed_clock.h"
#include "support/recording_progress.h"

QVector<BookRow> intakeRows(const QString &path, const BookFormats &formats, QStringList *unfit)
{
    BookTable books;
    RecordingProgress progress;
    const FixedClock clock(QDateTime(QDate(2024, 6, 1), QTime(12, 0)));
    BookIntake intake(books, progress, clock, formats);
    intake.open();
    intake.addPath(path);
    intake.finish();
    if (unfit)
        *unfit = intake.unfitArchives();
    return books.rows();
}
