#include "core/tessaly_error.h"
#include "sqlite/sqlite_connection.h"
#include "support/fixture_reader.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(QueryResult::Kind)

class TestQueryResult : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_folder;
    SqliteConnection m_database;

private slots:
    void initTestCase()
    {
        m_database.open(m_folder.filePath("table.db"));
        m_database.execute("create table typed (i INTEGER, b BOOLEAN, n NUMERIC, f FLOAT, d DOUBLE, r REAL, "
                           "bl BLOB, t TEXT, v VARCHAR(20), misspelt INTERGER, lower integer)");
        m_database.execute("insert into typed values (1704103200000, 1, 2.5, 0.1, -3.75, 1e300, x'00ff41', "
                           "'Пикник', 'v', 7, 8)");
        m_database.execute("insert into typed values (NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
                           "NULL)");
        m_database.execute("insert into typed values ('abc', 0, 3, 4, 5, 6, 'text in a blob column', 12, 'w', 'x', "
                           "9)");
    }

    void columnKindsAndNames_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QueryResult::Kind>("kind");
        QTest::addColumn<QString>("first");

        QTest::newRow("INTEGER") << "select i from typed"
                                 << "I" << QueryResult::Kind::Integer << "1704103200000";
        QTest::newRow("BOOLEAN") << "select b from typed"
                                 << "B" << QueryResult::Kind::Integer << "1";
        QTest::newRow("NUMERIC") << "select n from typed"
                                 << "N" << QueryResult::Kind::Float << "2.5";
        QTest::newRow("FLOAT") << "select f from typed"
                               << "F" << QueryResult::Kind::Float << "0.1";
        QTest::newRow("DOUBLE") << "select d from typed"
                                << "D" << QueryResult::Kind::Float << "-3.75";
        QTest::newRow("REAL") << "select r from typed"
                              << "R" << QueryResult::Kind::Float << "1e+300";
        QTest::newRow("BLOB") << "select bl from typed"
                              << "BL" << QueryResult::Kind::Blob << QString::fromUtf8(QByteArray("\x00\xff\x41", 3));
        QTest::newRow("TEXT") << "select t from typed"
                              << "T" << QueryResult::Kind::Text << "Пикник";
        QTest::newRow("other declared type") << "select v from typed"
                                             << "V" << QueryResult::Kind::Text << "v";
        QTest::newRow("misspelt type reads as text") << "select misspelt from typed"
                                                     << "MISSPELT" << QueryResult::Kind::Text << "7";
        QTest::newRow("declared type in any case") << "select lower from typed"
                                                   << "LOWER" << QueryResult::Kind::Integer << "8";
        QTest::newRow("alias upper-cased") << "select t as Title from typed"
                                           << "TITLE" << QueryResult::Kind::Text << "Пикник";
        QTest::newRow("expression: integer value") << "select 40 + 2"
                                                   << "40 + 2" << QueryResult::Kind::Integer << "42";
        QTest::newRow("expression: real value") << "select 1.5"
                                                << "1.5" << QueryResult::Kind::Float << "1.5";
        QTest::newRow("expression: text value") << "select 'x' || 'y'"
                                                << "'X' || 'Y'" << QueryResult::Kind::Text << "xy";
        QTest::newRow("expression: NULL first reads as text") << "select NULL"
                                                              << "NULL" << QueryResult::Kind::Text << "";
    }

    void columnKindsAndNames()
    {
        QFETCH(QString, sql);
        QFETCH(QString, name);
        QFETCH(QueryResult::Kind, kind);
        QFETCH(QString, first);
        const QueryResult table = m_database.query(sql);
        QCOMPARE(table.columnCount(), 1);
        QCOMPARE(table.columnName(0), name);
        QCOMPARE(table.columnKind(0), kind);
        QCOMPARE(table.fieldAsText(0), first);
    }

    // Values are read by the column's kind, not by what each cell happens to hold.
    void cellsReadByColumnKind()
    {
        QueryResult table = m_database.query("select i, n, bl, t, misspelt from typed");
        table.next();
        for (int column = 0; column < table.columnCount(); ++column) {
            QVERIFY(table.fieldIsNull(column));
            QCOMPARE(table.fieldAsText(column), QString());
        }
        table.next();
        QCOMPARE(table.fieldAsText(0), QString("0")); // 'abc' in an INTEGER column
        QCOMPARE(table.fieldAsInteger(0), 0);
        QCOMPARE(table.fieldAsText(1), QString("3"));
        QCOMPARE(table.fieldAsText(2), QString("text in a blob column"));
        QCOMPARE(table.fieldAsText(3), QString("12"));
        QCOMPARE(table.fieldAsText(4), QString("x"));
    }

    void otherReadings()
    {
        QueryResult table = m_database.query("select i, t, bl, n, misspelt from typed");
        QCOMPARE(table.fieldAsInteger(0), 1704103200000);
        QCOMPARE(table.fieldAsUtf8(1), QString("Пикник").toUtf8());
        QCOMPARE(table.fieldAsUtf8(2), QByteArray("\x00\xff\x41", 3)); // the bytes, not their decoding
        QCOMPARE(table.fieldAsUtf8(3), QByteArray("2.5"));
        QCOMPARE(table.fieldAsInteger(4), 7); // digits in a column read as text
        table.next();
        QCOMPARE(table.fieldAsInteger(0), 0);
        QCOMPARE(table.fieldAsUtf8(1), QByteArray());
    }

    void walksToTheEnd()
    {
        QueryResult table = m_database.query("select t from typed");
        QCOMPARE(table.rowCount(), 3);
        QStringList seen;
        for (; !table.eof(); table.next())
            seen << table.fieldAsText(0);
        QCOMPARE(seen, QStringList({"Пикник", "", "12"}));
        table.next(); // stays at the end
        QVERIFY(table.eof());
        QVERIFY_THROWS_EXCEPTION(TessalyError, table.fieldAsText(0));
        try {
            table.fieldAsText(0);
        } catch (const TessalyError &error) {
            QCOMPARE(error.message(), QString("Table is at End of File"));
        }
    }

    void queryWithoutRowsHasNoColumns()
    {
        const QueryResult table = m_database.query("select i, t from typed where 0");
        QCOMPARE(table.rowCount(), 0);
        QCOMPARE(table.columnCount(), 0);
        QVERIFY(table.eof());
    }

    void readsTheFixtureReadersLibrary()
    {
        const FixtureReader reader;
        SqliteConnection database;
        database.open(reader.databasePath());
        QueryResult books = database.query("select _id, title, author, file_path, file_size, added_date from books");
        QCOMPARE(books.columnName(0), QString("_ID"));
        QCOMPARE(books.columnName(3), QString("FILE_PATH"));
        const QList<FixtureLibrary::Book> expected = FixtureLibrary::books();
        QCOMPARE(books.rowCount(), expected.size());
        for (const FixtureLibrary::Book &book : expected) {
            QCOMPARE(books.fieldAsText(0), QString::number(book.id));
            QCOMPARE(books.fieldAsText(1), book.title);
            QCOMPARE(books.fieldAsText(2), book.author);
            QCOMPARE(books.fieldAsText(3), "Sony_Reader/media/books/" + book.relativePath);
            QCOMPARE(books.fieldAsText(4), QString::number(book.fileSize));
            QCOMPARE(books.fieldAsText(5), QString::number(book.addedDate));
            books.next();
        }
    }
};

QTEST_GUILESS_MAIN(TestQueryResult)
#include "test_query_result.moc"
