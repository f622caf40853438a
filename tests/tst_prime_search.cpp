#include "fake_controls.h"
#include "reference_primes.h"
#include "search/prime_search.h"

#include <QTest>

using tavrik::TextBox;

class TestPrimeSearch : public QObject {
    Q_OBJECT

private slots:
    void matchesReference_data();
    void matchesReference();
    void isPrime_data();
    void isPrime();
};

void TestPrimeSearch::matchesReference_data() {
    QTest::addColumn<qint64>("lower");
    QTest::addColumn<qint64>("upper");
    QTest::addColumn<int>("expectedCount"); // -1: whatever the reference says

    QTest::newRow("0 to 1: nothing") << 0LL << 1LL << 0;
    QTest::newRow("1 to 2") << 1LL << 2LL << 1;
    QTest::newRow("2 to 3") << 2LL << 3LL << 2;
    QTest::newRow("3 to 4") << 3LL << 4LL << 1;
    QTest::newRow("8 to 10: nothing") << 8LL << 10LL << 0;
    QTest::newRow("0 to 100") << 0LL << 100LL << 25;
    QTest::newRow("0 to 10000") << 0LL << 10000LL << 1229;
    QTest::newRow("squares of primes at both ends") << 25LL << 49LL << -1;
    QTest::newRow("4 to 9") << 4LL << 9LL << 2;
    QTest::newRow("starts at a large prime square") << 998623201LL << 998633201LL << -1;
    QTest::newRow("ends at a large prime square") << 999002449LL - 10000 << 999002449LL << -1;
    QTest::newRow("heaviest accepted window") << 996458993LL << 996468993LL << 544;
    QTest::newRow("largest accepted range") << 1000000000LL << 1000010000LL << -1;
}

void TestPrimeSearch::matchesReference() {
    QFETCH(qint64, lower);
    QFETCH(qint64, upper);
    QFETCH(int, expectedCount);

    FakeControls form;
    tavrik::listPrimes(static_cast<double>(lower), static_cast<double>(upper), form);

    QStringList expected;
    for (const auto p : referencePrimes(lower, upper))
        expected << "  " + QString::number(p);
    if (expectedCount >= 0) QCOMPARE(expected.size(), expectedCount);
    QCOMPARE(form.items, expected);
    // Every item is added before the count is written, and the count is always written.
    QCOMPARE(form.log.size(), expected.size() + 1);
    QCOMPARE(form.log.last(), "set Text3 '" + QString::number(expected.size()) + "'");
}

void TestPrimeSearch::isPrime_data() {
    QTest::addColumn<double>("candidate");
    QTest::addColumn<bool>("prime");

    QTest::newRow("0") << 0.0 << false;
    QTest::newRow("1") << 1.0 << false;
    QTest::newRow("negative") << -7.0 << false;
    QTest::newRow("2") << 2.0 << true;
    QTest::newRow("3") << 3.0 << true;
    QTest::newRow("4") << 4.0 << false;
    QTest::newRow("9: the root is the divisor") << 9.0 << false;
    QTest::newRow("25") << 25.0 << false;
    QTest::newRow("square of a prime near the top") << 31607.0 * 31607.0 << false;
    QTest::newRow("product of two near-root primes") << 31601.0 * 31607.0 << false;
    QTest::newRow("largest prime in reach") << 1000009999.0 << true;
    QTest::newRow("1000000007") << 1000000007.0 << true;
}

void TestPrimeSearch::isPrime() {
    QFETCH(double, candidate);
    QFETCH(bool, prime);
    QCOMPARE(tavrik::isPrime(candidate), prime);
}

QTEST_GUILESS_MAIN(TestPrimeSearch)
#include "tst_prime_search.moc"
