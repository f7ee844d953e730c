#include "sqlite/sqlite_connection.h"
#include "sqlite/table_columns.h"
#include "support/fixture_reader.h"

#include <QTemporaryDir>
#include <QTest>

class TestTableColumns : public QObject
{
    Q_OBJECT
private slots:
    void aTableThatIsNotThereHasNoColumns()
    {
        QTemporaryDir folder;
        SqliteConnection database;
        database.open(folder.filePath("t.db"));
        QVERIFY(tableColumns(database, "missing").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTableColumns)
#include "test_table_columns.moc"
