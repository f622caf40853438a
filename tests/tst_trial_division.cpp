#include "fake_controls.h"
#include "reference_primes.h"
#include "search/prime_search.h"
#include "search/trial_division.h"

#include <QRandomGenerator>
#include <QTest>
#include <cmath>

using tavrik::TrialDivision;

namespace {

// Every version this processor can run, beside the plain loop they must match.
QList<TrialDivision> runnableVersions() {
    QList<TrialDivision> runnable;
    for (const TrialDivision& version : tavrik::trialDivisions())
        if (version.supported) runnable << version;
    return runnable;
}

QStringList primesFound(const TrialDivision& version, qint64 lower, qint64 upper) {
    QStringList found;
    for (qint64 n = std::max<qint64>(lower, 2); n <= upper; ++n) {
        const double candidate = static_cast<double>(n);
        if (!version.hasExactDivisor(candidate, std::sqrt(candidate))) found << QString::number(n);
    }
    return found;
}

} // namespace

class TestTrialDivision : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void versionsAgree_data();
    void versionsAgree();
    void squaresAndNearSquares();
    void searchUsesTheFastest();
};

void TestTrialDivision::initTestCase() {
    QCOMPARE(tavrik::trialDivisions().front().name, "plain");
    for (const TrialDivision& version : runnableVersions())
        qInfo("runs: %s", version.name);
}

void TestTrialDivision::versionsAgree_data() {
    QTest::addColumn<qint64>("lower");
    QTest::addColumn<qint64>("upper");

    QTest::newRow("0 to 10000") << 0LL << 10000LL;
    QTest::newRow("densest window") << 996458993LL << 996468993LL;
    QTest::newRow("largest range") << 1000000000LL << 1000010000LL;
    QTest::newRow("from a prime square") << 998623201LL << 998633201LL;
    QTest::newRow("to a prime square") << 999002449LL - 10000 << 999002449LL;
    QRandomGenerator random(20101); // fixed: the same ranges every run
    for (int i = 0; i < 12; ++i) {
        const qint64 lower = random.bounded(1000000001LL);
        const qint64 width = random.bounded(1, 10001);
        QTest::addRow("random %lld to %lld", lower, lower + width) << lower << lower + width;
    }
}

void TestTrialDivision::versionsAgree() {
    QFETCH(qint64, lower);
    QFETCH(qint64, upper);
    const QList<TrialDivision> versions = runnableVersions();
    const QStringList plain = primesFound(versions.front(), lower, upper);
    for (const TrialDivision& version : versions.mid(1))
        QVERIFY2(primesFound(version, lower, upper) == plain, version.name);

    QStringList reference;
    for (const auto p : referencePrimes(lower, upper))
        reference << QString::number(p);
    QCOMPARE(plain, reference);
}

void TestTrialDivision::squaresAndNearSquares() {
    // A prime's square has one divisor, the last one tried, wherever it falls in
    // a block; its neighbours have their root just below or above a whole number.
    const auto primes = referencePrimes(2, 31627);
    for (const TrialDivision& version : runnableVersions()) {
        for (const auto p : primes) {
            for (const qint64 n : {p * p - 1, p * p, p * p + 1}) {
                const double candidate = static_cast<double>(n);
                const bool plain = tavrik::trialDivisions().front().hasExactDivisor(
                    candidate, std::sqrt(candidate));
                QVERIFY2(version.hasExactDivisor(candidate, std::sqrt(candidate)) == plain,
                         qPrintable(QStringLiteral("%1 on %2").arg(version.name).arg(n)));
            }
            QVERIFY(version.hasExactDivisor(double(p * p), double(p)));
        }
    }
}

void TestTrialDivision::searchUsesTheFastest() {
    const QList<TrialDivision> versions = runnableVersions();
    QVERIFY(tavrik::fastestTrialDivision() == versions.back().hasExactDivisor);

    FakeControls form;
    tavrik::listPrimes(996458993, 996468993, 0, form);
    QStringList expected;
    for (const QString& p : primesFound(versions.front(), 996458993, 996468993))
        expected << "  " + p;
    QCOMPARE(form.items, expected);
    QCOMPARE(form.field(tavrik::TextBox::Text3), "544");
}

QTEST_GUILESS_MAIN(TestTrialDivision)
#include "tst_trial_division.moc"
