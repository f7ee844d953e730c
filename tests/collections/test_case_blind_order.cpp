#include "collections/case_blind_order.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QStringList>

#include <QTest>

#include <algorithm>
#include <numeric>

namespace {
// What the order must be in the "C" locale: a stable sort of the case-folded texts.
CaseBlindOrder plainOrder(const QStringList &names)
{
    CaseBlindOrder expected{std::vector<int>(size_t(names.size())), std::vector<int>(size_t(names.size()))};
    std::iota(expected.order.begin(), expected.order.end(), 0);
    std::stable_sort(expected.order.begin(), expected.order.end(),
                     [&](int a, int b) { return names[a].toCaseFolded() < names[b].toCaseFolded(); });
    for (size_t i = 0; i < expected.order.size(); ++i) {
        const int name = expected.order[i];
        const bool same = i > 0 && names[name].toCaseFolded() == names[expected.order[i - 1]].toCaseFolded();
        expected.kept[size_t(name)] = same ? expected.kept[size_t(expected.order[i - 1])] : name;
    }
    return expected;
}

// Names over a few letters, so that many share long beginnings and some are equal but for case.
QStringList randomNames(int count)
{
    const QStringList letters{"a", "A", "б", "Б", " ", "1", "𝔸", "\uE000"};
    QRandomGenerator random(20261210);
    QStringList names;
    for (int i = 0; i < count; ++i) {
        QString name = QStringLiteral("Серия ");
        const int length = random.bounded(6);
        for (int j = 0; j < length; ++j)
            name += letters[random.bounded(letters.size())];
        names << name;
    }
    return names;
}
} // namespace

class TestCaseBlindOrder : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void ordersAsAStableSortOfTheFoldedNames_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::newRow("none") << QStringList{};
        QTest::newRow("prefix first, case merged, first form kept")
            << QStringList{"Дюна", "дюна 2", "ДЮНА", "", "Дюна", "Ab", "a"};
        QTest::newRow("outside the basic plane") << QStringList{"𐐀x", "𐐨X", "\xF0\x9D\x94\xB8", "z"};
        QTest::newRow("many with shared beginnings") << randomNames(3000);
    }
    void ordersAsAStableSortOfTheFoldedNames()
    {
        QFETCH(QStringList, names);
        const CaseBlindOrder order = caseBlindOrder(names);
        const CaseBlindOrder expected = plainOrder(names);
        QCOMPARE(order.order, expected.order);
        QCOMPARE(order.kept, expected.kept);
    }
};

QTEST_GUILESS_MAIN(TestCaseBlindOrder)
#include "test_case_blind_order.moc"
