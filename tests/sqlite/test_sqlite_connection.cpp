#include "core/tessaly_error.h"
#include "sqlite/sqlite_connection.h"
#include "support/fixture_reader.h"
#include "support/sqlite_test_tools.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

class TestSqliteConnection : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_folder;
    QString path(const QString &name) const { return m_folder.filePath(name); }

private slots:
    void openSetsTheConnectionPragmas()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        SqliteConnection database;
        database.open(reader.databasePath());
        QueryResult synchronous = database.query("PRAGMA synchronous");
        QCOMPARE(synchronous.fieldAsText(0), QString("1")); // NORMAL
        QueryResult tempStore = database.query("PRAGMA temp_store");
        QCOMPARE(tempStore.fieldAsText(0), QString("2")); // MEMORY
        QueryResult journal = database.query("PRAGMA journal_mode");
        QCOMPARE(journal.fieldAsText(0), QString("delete"));
    }

    void openCreatesAMissingFile()
    {
        SqliteConnection database;
        database.open(path("new.db"));
        QVERIFY(database.isOpen());
        QVERIFY(QFile::exists(path("new.db")));
    }

    void openFailures()
    {
        const QString missingFolder = path("no such folder/books.db");
        SqliteConnection database;
        QCOMPARE(errorOf([&] { database.open(missingFolder); }),
                 "Failed to open database \"" + missingFolder + "\" : unable to open database file");

        QFile garbage(path("garbage.db"));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
        garbage.close();
        QCOMPARE(errorOf([&] { database.open(garbage.fileName()); }),
                 QString("Error executing SQL \"PRAGMA SYNCHRONOUS=NORMAL;\" : file is not a database"));
    }

    void executeFailures_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("error");
        QTest::newRow("syntax") << "selec 1"
                                << "Error executing SQL \"selec 1\" : near \"selec\": syntax error";
        QTest::newRow("missing table")
            << "delete from layout_cache"
            << "Error executing SQL \"delete from layout_cache\" : no such table: layout_cache";
        QTest::newRow("nothing to prepare") << ""
                                            << "Could not prepare SQL statement";
        QTest::newRow("only a comment") << "-- nothing"
                                        << "Could not prepare SQL statement";
        QTest::newRow("constraint") << "insert into t (a) values (NULL)"
                                    << "Error executing SQL statement \"insert into t (a) values (NULL)\" : NOT NULL "
                                       "constraint failed: t.a";
        QTest::newRow("returns rows") << "select 1"
                                      << "Error executing SQL statement \"select 1\" : another row available";
    }

    void executeFailures()
    {
        QFETCH(QString, sql);
        QFETCH(QString, error);
        SqliteConnection database;
        database.open(path("execute.db"));
        database.execute("create table if not exists t (a INTEGER NOT NULL)");
        QCOMPARE(errorOf([&] { database.execute(sql); }), error);
    }

    void queryFailures()
    {
        SqliteConnection database;
        database.open(path("query.db"));
        database.execute("create table if not exists t (a INTEGER)");
        QCOMPARE(errorOf([&] { database.query("select b from t"); }),
                 QString("Error executing SQL \"select b from t\" : no such column: b"));
        QCOMPARE(errorOf([&] { database.query(""); }), QString("Could not prepare SQL statement"));
        QCOMPARE(errorOf([&] { database.query("select abs(-9223372036854775807 - 1)"); }),
                 QString("Could not retrieve data \"select abs(-9223372036854775807 - 1)\" : integer overflow"));
    }

    void queryOfALockedDatabaseFails()
    {
        SqliteConnection database;
        database.open(path("busy.db"));
        database.execute("create table if not exists t (a INTEGER)");
        const ExclusiveLock lock(path("busy.db"));
        QVERIFY(lock.locked());
        QCOMPARE(errorOf([&] { database.query("select a from t"); }), QString("Could not prepare SQL statement"));
        QCOMPARE(errorOf([&] { database.execute("insert into t values (1)"); }),
                 QString("Error executing SQL statement \"insert into t values (1)\" : database is locked"));
    }

    void openingALockedDatabaseFails()
    {
        const FixtureReader reader;
        const ExclusiveLock lock(reader.databasePath());
        QVERIFY(lock.locked());
        SqliteConnection database;
        QCOMPARE(errorOf([&] { database.open(reader.databasePath()); }),
                 QString("Error executing SQL \"PRAGMA SYNCHRONOUS=NORMAL;\" : database is locked"));
    }

    void transactions()
    {
        const QString file = path("transactions.db");
        SqliteConnection database;
        database.open(file);
        database.execute("create table t (a INTEGER)");

        database.beginTransaction();
        QVERIFY(database.inTransaction());
        QCOMPARE(errorOf([&] { database.beginTransaction(); }), QString("Transaction already open"));
        database.execute("insert into t values (1)");
        database.commit();
        QVERIFY(!database.inTransaction());

        database.beginTransaction();
        database.execute("insert into t values (2)");
        database.close(); // rolls back what was not committed
        QVERIFY(!database.isOpen());
        QCOMPARE(sqliteRows(file, "select a from t"), QList<QVariantList>{{1}});
        QVERIFY(!QFile::exists(file + "-journal"));
    }

    void destroyingAConnectionRollsBack()
    {
        const QString file = path("destroyed.db");
        {
            SqliteConnection database;
            database.open(file);
            database.execute("create table t (a INTEGER)");
            database.beginTransaction();
            database.execute("insert into t values (1)");
        }
        QCOMPARE(sqliteRows(file, "select count(*) from t"), QList<QVariantList>{{0}});
        QVERIFY(!QFile::exists(file + "-journal"));
    }

    void tableExists()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        SqliteConnection database;
        database.open(reader.databasePath());
        QVERIFY(database.tableExists("books"));
        QVERIFY(database.tableExists("Layout_Cache"));
        QVERIFY(!database.tableExists("markups")); // a view, not a table
        QVERIFY(!database.tableExists("no_such_table"));
        QVERIFY(!database.tableExists("it's"));
    }

    // Bound values land with the type and value that the same value quoted into the
    // statement text would get from the columns' affinities.
    void boundValuesAreStoredAsQuotedOnes_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("millisecond date") << "1704103200000";
        QTest::newRow("zero") << "0";
        QTest::newRow("negative") << "-42";
        QTest::newRow("minus zero") << "-0";
        QTest::newRow("empty") << "";
        QTest::newRow("leading zeros") << "007";
        QTest::newRow("plus sign") << "+5";
        QTest::newRow("spaces") << " 5 ";
        QTest::newRow("decimal") << "2.50";
        QTest::newRow("digits then letters") << "12abc";
        QTest::newRow("beyond 64 bits") << "99999999999999999999";
        QTest::newRow("largest 64-bit") << "9223372036854775807";
        QTest::newRow("18 digits") << "123456789012345678";
        QTest::newRow("Cyrillic") << "Пикник на обочине";
        QTest::newRow("quotes") << "Кавычки \"внутри\" и 'апострофы'; --";
    }

    void boundValuesAreStoredAsQuotedOnes()
    {
        QFETCH(QString, value);
        const QString file = path("affinity.db");
        QFile::remove(file);
        SqliteConnection database;
        database.open(file);
        database.execute("create table t (number INTEGER, text TEXT, untyped)");
        QString quoted = value;
        quoted.replace('"', "\"\"");
        quoted = '"' + quoted + '"';
        database.execute("insert into t (number, text, untyped) values(" + quoted + ',' + quoted + ',' + quoted + ')');
        SqliteStatement asText = database.prepare("insert into t (number, text, untyped) values(?,?,?)");
        for (int column = 1; column <= 3; ++column)
            asText.bindText(column, value);
        asText.execute();
        SqliteStatement asUtf8 = database.prepare("insert into t (number, text, untyped) values(?,?,?)");
        for (int column = 1; column <= 3; ++column)
            asUtf8.bindUtf8(column, value.toUtf8());
        asUtf8.execute();
        SqliteStatement asNumber = database.prepare("insert into t (number) values(?)");
        asNumber.bindNumber(1, value);
        asNumber.execute();
        database.close();

        const QList<QVariantList> rows = sqliteRows(
            file, "select typeof(number), quote(number), typeof(text), quote(text), typeof(untyped), quote(untyped) "
                  "from t order by rowid");
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows.at(1), rows.at(0));
        QCOMPARE(rows.at(2), rows.at(0));
        QCOMPARE(rows.at(3).mid(0, 2), rows.at(0).mid(0, 2));
        QVERIFY(rows.at(0).at(3).toString() != "NULL"); // an empty text is '' and never NULL
    }

    void boundIntegers()
    {
        const QString file = path("integers.db");
        SqliteConnection database;
        database.open(file);
        database.execute("create table t (number INTEGER, untyped)");
        SqliteStatement insert = database.prepare("insert into t (number, untyped) values(?,?)");
        insert.bindInteger(1, 1704103200000);
        insert.bindInteger(2, -7);
        insert.execute();
        database.close();
        QCOMPARE(sqliteRows(file, "select typeof(number), number, typeof(untyped), untyped from t"),
                 (QList<QVariantList>{{"integer", 1704103200000LL, "integer", -7}}));
    }

    void bindingABadIndexFails()
    {
        SqliteConnection database;
        database.open(path("index.db"));
        database.execute("create table if not exists t (a)");
        SqliteStatement insert = database.prepare("insert into t (a) values(?)");
        QCOMPARE(errorOf([&] { insert.bindText(2, "x"); }),
                 QString("Error executing SQL statement \"insert into t (a) values(?)\" : column index out of range"));
        QCOMPARE(errorOf([&] { insert.bindInteger(0, 1); }),
                 QString("Error executing SQL statement \"insert into t (a) values(?)\" : column index out of range"));
    }

    void failedStatementCanRunAgain()
    {
        SqliteConnection database;
        database.open(path("again.db"));
        database.execute("create table u (a INTEGER UNIQUE)");
        SqliteStatement insert = database.prepare("insert into u (a) values(?)");
        insert.bindInteger(1, 1);
        insert.execute();
        insert.bindInteger(1, 1);
        QCOMPARE(
            errorOf([&] { insert.execute(); }),
            QString("Error executing SQL statement \"insert into u (a) values(?)\" : UNIQUE constraint failed: u.a"));
        insert.bindInteger(1, 2);
        insert.execute();
        QueryResult count = database.query("select count(*) from u");
        QCOMPARE(count.fieldAsText(0), QString("2"));
    }
};

QTEST_GUILESS_MAIN(TestSqliteConnection)
#include "test_sqlite_connection.moc"
