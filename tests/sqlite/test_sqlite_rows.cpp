#include "core/tessaly_error.h"
#include "core/text_block.h"
#include "sqlite/sqlite_connection.h"
#include "support/fixture_reader.h"
#include "support/sqlite_test_tools.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(SqliteValue)

namespace {
QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Every row of `sql` as SqliteRow::text reads it, row after row, cell after cell; a cell's
// text appended to a block must be the same.
QStringList rowTexts(SqliteConnection &database, const QString &sql)
{
    QStringList texts;
    database.forEachRow(sql, [&texts](const SqliteRow &row) {
        TextBlock block;
        for (int column = 0; column < row.columnCount(); ++column) {
            texts << row.text(column);
            row.appendText(column, block);
            block.end();
        }
        block.seal();
        for (int column = 0; column < row.columnCount(); ++column) {
            const QString appended = block.take(column);
            if (appended != row.text(column) || appended.isNull() != row.text(column).isNull())
                texts << QStringLiteral("appended differently: ") + appended;
        }
    });
    return texts;
}

QStringList queryTexts(SqliteConnection &database, const QString &sql)
{
    QStringList texts;
    for (QueryResult table = database.query(sql); !table.eof(); table.next())
        for (int column = 0; column < table.columnCount(); ++column)
            texts << table.fieldAsText(column);
    return texts;
}
} // namespace

// Reading rows as they arrive, and opening read-only.
class TestSqliteRows : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_folder;
    SqliteConnection m_database;

private slots:
    void initTestCase()
    {
        m_database.open(m_folder.filePath("typed.db"));
        m_database.execute("create table typed (i INTEGER, f REAL, bl BLOB, t TEXT, misspelt INTERGER, u)");
        m_database.execute("insert into typed values (1704103200000, 2.5, x'00ff41', 'Пикник', 7, 1)");
        m_database.execute("insert into typed values (NULL, NULL, NULL, NULL, NULL, NULL)");
        m_database.execute("insert into typed values ('abc', '4', 'text in a blob column', 12, 'x', 'text')");
        m_database.execute("insert into typed values (-9223372036854775808, 1e300, x'', '', -0, 2.5)");
        m_database.execute("insert into typed values (9223372036854775807, -0.1, 5, 3.25, 0, x'01')");
        m_database.execute("insert into typed values (-1, 0, 1.5, '𝄞 and \t', 18446744073709551616, NULL)");
    }

    // The load reads rows through SqliteRow::text: it must read every cell as the result table does.
    void textsReadAsTheResultTableReadsThem_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("declared types, every storage class in each") << "select * from typed";
        QTest::newRow("expressions take the kind of their first value") << "select u + 0, i || '' from typed";
        QTest::newRow("a query's own numbers") << "select 0, -0, 40 + 2, 1.0 / 3, 'x'";
    }

    void textsReadAsTheResultTableReadsThem()
    {
        QFETCH(QString, sql);
        const QStringList expected = queryTexts(m_database, sql);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(rowTexts(m_database, sql), expected);
    }

    void valuesKeepTheirStorageClass_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<SqliteValue>("expected");
        QTest::newRow("text in an INTEGER column") << "select i from typed where rowid = 3" << SqliteValue::text("abc");
        QTest::newRow("real in an INTEGER column")
            << "select misspelt from typed where rowid = 6" << SqliteValue::real(18446744073709551616.0);
        QTest::newRow("integer in a BLOB column") << "select bl from typed where rowid = 5" << SqliteValue::integer(5);
        QTest::newRow("blob bytes") << "select bl from typed where rowid = 1"
                                    << SqliteValue::blob(QByteArray("\x00\xff\x41", 3));
        QTest::newRow("empty blob is not NULL") << "select bl from typed where rowid = 4" << SqliteValue::blob({});
        QTest::newRow("empty text is not NULL") << "select t from typed where rowid = 4" << SqliteValue::text("");
        QTest::newRow("text as UTF-8") << "select t from typed where rowid = 1"
                                       << SqliteValue::text(QString("Пикник").toUtf8());
        QTest::newRow("NULL") << "select t from typed where rowid = 2" << SqliteValue();
        QTest::newRow("smallest integer")
            << "select i from typed where rowid = 4" << SqliteValue::integer(std::numeric_limits<qint64>::min());
    }

    void valuesKeepTheirStorageClass()
    {
        QFETCH(QString, sql);
        QFETCH(SqliteValue, expected);
        QList<SqliteValue> values;
        m_database.forEachRow(sql, [&values](const SqliteRow &row) { values << row.value(0); });
        QCOMPARE(values.size(), 1);
        QCOMPARE(values.first().type(), expected.type());
        QVERIFY(values.first() == expected);
    }

    void rowFailures()
    {
        QCOMPARE(errorOf([&] { m_database.forEachRow("select absent from typed", [](const SqliteRow &) {}); }),
                 QString("Error executing SQL \"select absent from typed\" : no such column: absent"));
        QCOMPARE(
            errorOf([&] { m_database.forEachRow("select t from typed", [](const SqliteRow &row) { row.text(1); }); }),
            QString("Field index out of range"));
        // A visitor that stops the walk leaves the connection usable.
        QCOMPARE(errorOf([&] {
                     m_database.forEachRow("select t from typed",
                                           [](const SqliteRow &) { throw TessalyError("stopped"); });
                 }),
                 QString("stopped"));
        QCOMPARE(rowTexts(m_database, "select count(*) from typed"), QStringList{"6"});
    }

    void readOnlyOpenNeverWrites()
    {
        const FixtureReader reader;
        const QString path = reader.databasePath();
        const QByteArray before = fileDigest(path);
        {
            SqliteConnection database;
            database.open(path, SqliteConnection::OpenMode::ReadOnly);
            QCOMPARE(rowTexts(database, "select count(*) from books"), QStringList{"4"});
            QCOMPARE(errorOf([&] { database.execute("delete from books"); }),
                     QString("Error executing SQL statement \"delete from books\" : attempt to write a readonly "
                             "database"));
            database.beginTransaction(); // a read transaction writes nothing either
            database.commit();
        }
        QCOMPARE(fileDigest(path), before);
        QVERIFY(!QFile::exists(path + "-journal"));
        QVERIFY(!QFile::exists(path + "-wal"));

        const QString missing = m_folder.filePath("missing.db");
        SqliteConnection database;
        QCOMPARE(errorOf([&] { database.open(missing, SqliteConnection::OpenMode::ReadOnly); }),
                 "Failed to open database \"" + missing + "\" : unable to open database file");
        QVERIFY(!QFile::exists(missing));
    }
};

QTEST_GUILESS_MAIN(TestSqliteRows)
#include "test_sqlite_rows.moc"
