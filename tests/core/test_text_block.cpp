#include "core/text_block.h"

#include <QTest>

class TestTextBlock : public QObject
{
    Q_OBJECT
private slots:
    // The load decodes every text of the reader's database this way, so it must give what
    // QString::fromUtf8 gives, faults in the bytes included.
    void decodesAsFromUtf8_data()
    {
        QTest::addColumn<QByteArray>("utf8");
        QTest::newRow("ASCII") << QByteArray("Sony_Reader/media/books/a.fb2");
        QTest::newRow("Cyrillic") << QString("Пикник на обочине").toUtf8();
        QTest::newRow("outside the BMP") << QString("𝄞 ноты").toUtf8();
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBFx");
        QTest::newRow("cut off in a sequence") << QByteArray("a\xD0");
        QTest::newRow("stray continuation and invalid bytes") << QByteArray("\x80z\xFF\xC0\xAF");
        QTest::newRow("two-byte lead without its continuation") << QByteArray("\xD0z\xD0\xBF");
        QTest::newRow("three-byte sequence after Cyrillic") << QString("Ж€").toUtf8();
        QTest::newRow("embedded zero") << QByteArray("a\0b", 3);
        QTest::newRow("empty") << QByteArray("");
    }

    void decodesAsFromUtf8()
    {
        QFETCH(QByteArray, utf8);
        TextBlock block;
        // A fault at the end of one text must not reach the next.
        block.appendUtf8(utf8);
        const int first = block.end();
        block.appendUtf8(utf8);
        const int second = block.end();
        block.seal();
        const QString texts[] = {block.take(first), block.take(second)};
        QCOMPARE(texts[0], QString::fromUtf8(utf8));
        QCOMPARE(texts[1], QString::fromUtf8(utf8));
        QVERIFY(!texts[0].isNull());
    }

    void textsShareOneBlockAndOutliveIt()
    {
        TextBlock block;
        block.append(u"/media/");
        block.appendUtf8("books/Пикник.fb2");
        const int path = block.end();
        const int folder = block.tail(path, 7);
        block.appendUtf8("Пикник.fb2");
        const int name = block.endAsTailOf(path);
        block.appendUtf8("другое.fb2");
        const int other = block.endAsTailOf(path);
        const int none = block.end();
        block.appendUtf8(QByteArrayView());
        const int stillNone = block.end();
        block.seal();

        QString texts[] = {block.take(path), block.take(folder), block.take(name), block.take(other)};
        QVERIFY(block.take(none).isNull() && block.take(stillNone).isNull());
        block.clear();
        QCOMPARE(texts[0], QString("/media/books/Пикник.fb2"));
        QCOMPARE(texts[1], QString("books/Пикник.fb2"));
        QCOMPARE(texts[2], QString("Пикник.fb2"));
        QCOMPARE(texts[3], QString("другое.fb2"));
        // Each ends where a QString ends, so a tail is a QString like any other.
        QCOMPARE(texts[2].utf16()[texts[2].size()], u'\0');
        QCOMPARE(texts[2].constData(), texts[0].constData() + texts[0].size() - texts[2].size());

        // A text changed takes memory of its own and leaves the others as they were.
        texts[1].append(u"!");
        texts[0].clear();
        QCOMPARE(texts[1], QString("books/Пикник.fb2!"));
        QCOMPARE(texts[2], QString("Пикник.fb2"));
        texts[2].append(u"x"); // the last holder of the block may grow it in place
        QCOMPARE(texts[2], QString("Пикник.fb2x"));
        QCOMPARE(texts[3], QString("другое.fb2"));
    }
};

QTEST_GUILESS_MAIN(TestTextBlock)
#include "test_text_block.moc"
