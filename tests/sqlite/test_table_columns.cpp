#include "sqlite/sqlite_connection.h"
#include "sqlite/table_columns.h"
#include "support/fixture_reader.h"

#include <QTemporaryDir>
#include <QTest>

// Columns that another program's or a later firmware's table had are added to the table made
// again from the firmware's definition, as far as SQLite lets a column be added to a table
// that already has rows.
class TestTableColumns : public QObject
{
    Q_OBJECT
private slots:
    void formerColumnsAreAddedBack_data()
    {
        QTest::addColumn<QString>("definition");
        // name, type, notnull, default as pragma table_info gives them for the added column
        QTest::addColumn<QVariantList>("added");
        QTest::addColumn<QVariant>("valueOfAnExistingRow");

        QTest::newRow("plain") << "extra TEXT" << QVariantList{"extra", "TEXT", 0, QVariant()} << QVariant();
        QTest::newRow("no type") << "extra" << QVariantList{"extra", "", 0, QVariant()} << QVariant();
        QTest::newRow("sized type") << "extra VARCHAR(20)" << QVariantList{"extra", "VARCHAR(20)", 0, QVariant()}
                                    << QVariant();
        QTest::newRow("text default") << "extra TEXT DEFAULT 'it''s'" << QVariantList{"extra", "TEXT", 0, "'it''s'"}
                                      << QVariant("it's");
        QTest::newRow("not null with default")
            << "extra INTEGER NOT NULL DEFAULT -1" << QVariantList{"extra", "INTEGER", 1, "-1"} << QVariant(-1);
        // SQLite adds no NOT NULL column without a default to a table with rows.
        QTest::newRow("not null without default")
            << "extra INTEGER NOT NULL" << QVariantList{"extra", "INTEGER", 0, QVariant()} << QVariant();
        // An expression is not a default an added column may have.
        QTest::newRow("expression default")
            << "extra INTEGER DEFAULT (1 + 1)" << QVariantList{"extra", "INTEGER", 0, QVariant()} << QVariant();
        QTest::newRow("quoted name") << "\"odd \"\"name\"\"\" TEXT"
                                     << QVariantList{"odd \"name\"", "TEXT", 0, QVariant()} << QVariant();
    }

    void formerColumnsAreAddedBack()
    {
        QFETCH(QString, definition);
        QFETCH(QVariantList, added);
        QFETCH(QVariant, valueOfAnExistingRow);
        QTemporaryDir folder;
        const QString path = folder.filePath("t.db");
        sqliteExecute(path, "CREATE TABLE t (_id INTEGER PRIMARY KEY, a TEXT, " + definition +
                                ");"
                                "CREATE TABLE fresh (_id INTEGER PRIMARY KEY AUTOINCREMENT, a TEXT);"
                                "INSERT INTO fresh (a) VALUES ('row')");
        SqliteConnection database;
        database.open(path);
        const QVector<TableColumn> former = tableColumns(database, "t");
        addMissingColumns(database, "fresh", former);
        database.close();
        QCOMPARE(sqliteRows(path, "select name, type, \"notnull\", dflt_value from pragma_table_info('fresh')"),
                 (QList<QVariantList>{{"_id", "INTEGER", 0, QVariant()}, {"a", "TEXT", 0, QVariant()}, added}));
        QCOMPARE(sqliteRows(path, "select * from fresh"), (QList<QVariantList>{{1, "row", valueOfAnExistingRow}}));
    }

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
