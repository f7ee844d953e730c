#include "core/regex.h"
#include "core/tessaly_error.h"

#include <QTest>

class TestRegex : public QObject
{
    Q_OBJECT
private slots:
    void lazyDotAllLeftmost()
    {
        const Regex pattern(QStringLiteral("[>](.*?)[<]"));
        QCOMPARE(pattern.firstMatch("a>b\r\nc<d>e<", 1).value(), QByteArray("b\r\nc"));
        QVERIFY(!pattern.firstMatch("no tags", 1).has_value());
    }

    void caseSensitive()
    {
        const Regex pattern(QStringLiteral("<coverpage>"));
        QVERIFY(!pattern.firstMatch("<COVERPAGE>", 0).has_value());
    }

    void pathologicalTextEndsAsNoMatch()
    {
        const Regex pattern(QStringLiteral("(a+)+b"));
        const QByteArray subject(40, 'a');
        QVERIFY(!pattern.firstMatch(subject, 1).has_value());
    }

    void badPatternThrows() { QVERIFY_THROWS_EXCEPTION(TessalyError, Regex(QStringLiteral("(unclosed"))); }
};

QTEST_GUILESS_MAIN(TestRegex)
#include "test_regex.moc"
