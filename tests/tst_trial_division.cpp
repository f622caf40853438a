#include "search/kernel_targets.h" // before any Highway header

#include "fake_controls.h"
#include "reference_primes.h"
#include "search/prime_search.h"
#include "search/trial_division.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <hwy/highway.h>

namespace {

using ExactDivisorTest = bool (*)(double candidate, double root);

// As a call from any file's static initialiser could, before main() and
// before anything has picked an instruction set.
const bool primeBeforeMain = tavrik::isPrime(1000000007);

QStringList primesFound(ExactDivisorTest test, qint64 lower, qint64 upper) {
    QStringList found;
    for (qint64 n = std::max<qint64>(lower, 2); n <= upper; ++n) {
        const double candidate = static_cast<double>(n);
        if (!test(candidate, std::sqrt(candidate))) found << QString::number(n);
    }
    return found;
}

// Runs `check` once for every instruction set compiled in that this processor
// runs, with the kernel switched to it.
// Whatever happens, even a failed comparison returning early, the later tests
// find the kernel free to pick the widest again.
template <typename Check> void forEachTarget(Check check) {
    const auto release = qScopeGuard([] { hwy::SetSupportedTargetsForTest(0); });
    for (const std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        QCOMPARE(tavrik::trialDivisionTarget(), hwy::TargetName(target));
        check(hwy::TargetName(target));
        if (QTest::currentTestFailed()) break;
    }
}

} // namespace

class TestTrialDivision : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void exactness();
    void targetsAgree_data();
    void targetsAgree();
    void blockEdges();
    void searchUsesTheWidest();
    void outOfBoundsStopsTheCheckedBuilds_data();
    void outOfBoundsStopsTheCheckedBuilds();
};

void TestTrialDivision::initTestCase() {
    QVERIFY(primeBeforeMain);
    for (const std::int64_t target : hwy::SupportedAndGeneratedTargets())
        qInfo("runs: %s", hwy::TargetName(target));
}

void TestTrialDivision::exactness() {
    // Every divisor in the tables, up to 31623, and the multiples of each where
    // a comparison could slip: q·d - 1, q·d and q·d + 1 for q next to 1, to
    // 2^31 / d, to the largest candidate / d and to the largest 32-bit number / d.
    const tavrik::ExactnessTables& tables = tavrik::exactnessTables();
    QStringList wrong;
    for (std::uint32_t d = 2; d <= 31623; ++d)
        for (const std::uint64_t middle :
             {1ULL, (1ULL << 31) / d, 1000010000ULL / d, 0xFFFFFFFFULL / d})
            for (std::uint64_t q = middle - 1; q <= middle + 1; ++q)
                for (const std::uint64_t n : {q * d - 1, q * d, q * d + 1})
                    if (n <= UINT32_MAX &&
                        tables.divides(static_cast<std::uint32_t>(n), d) != (n % d == 0))
                        wrong << QStringLiteral("%1 / %2").arg(n).arg(d);
    QCOMPARE(wrong, QStringList());
}

void TestTrialDivision::targetsAgree_data() {
    QTest::addColumn<qint64>("lower");
    QTest::addColumn<qint64>("upper");

    QTest::newRow("0 to 10000") << 0LL << 10000LL;
    QTest::newRow("heaviest window") << 996458993LL << 996468993LL;
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

void TestTrialDivision::targetsAgree() {
    QFETCH(qint64, lower);
    QFETCH(qint64, upper);
    const QStringList oneByOne = primesFound(tavrik::hasExactDivisorOneByOne, lower, upper);
    forEachTarget([&](const char* target) {
        QVERIFY2(primesFound(tavrik::hasExactDivisor, lower, upper) == oneByOne, target);
    });

    QStringList reference;
    for (const auto p : referencePrimes(lower, upper))
        reference << QString::number(p);
    QCOMPARE(oneByOne, reference);
}

void TestTrialDivision::blockEdges() {
    // A prime's square has one divisor, the last one tried, wherever it falls in
    // a block; its neighbours have their root just below or above a whole number.
    // The primes go up to the tables' last divisor, 31623.
    std::vector<qint64> candidates;
    for (const auto p : referencePrimes(2, 31623))
        candidates.insert(candidates.end(), {p * p - 1, p * p, p * p + 1});
    forEachTarget([&](const char* target) {
        for (const qint64 n : candidates) {
            const double candidate = static_cast<double>(n), root = std::sqrt(candidate);
            QVERIFY2(tavrik::hasExactDivisor(candidate, root) ==
                         tavrik::hasExactDivisorOneByOne(candidate, root),
                     qPrintable(QStringLiteral("%1 on %2").arg(target).arg(n)));
        }
    });
}

void TestTrialDivision::searchUsesTheWidest() {
    const auto targets = hwy::SupportedAndGeneratedTargets(); // the widest first
    QCOMPARE(tavrik::trialDivisionTarget(), hwy::TargetName(targets.front()));
#if HWY_ARCH_X86
    // A processor whose best is SSSE3 runs the plain loop, quicker than its emulated multiply.
    hwy::SetSupportedTargetsForTest(HWY_SSSE3 | HWY_BASELINE_SCALAR);
    const QByteArray ssse3Only = tavrik::trialDivisionTarget();
    hwy::SetSupportedTargetsForTest(0);
    QCOMPARE(ssse3Only, hwy::TargetName(HWY_BASELINE_SCALAR));
#endif

    FakeControls form;
    tavrik::listPrimes(996458993, 996468993, form);
    QStringList expected;
    for (const QString& p : primesFound(tavrik::hasExactDivisorOneByOne, 996458993, 996468993))
        expected << "  " + p;
    QCOMPARE(form.items, expected);
    QCOMPARE(form.field(tavrik::TextBox::Text3), "544");
}

void TestTrialDivision::outOfBoundsStopsTheCheckedBuilds_data() {
    QTest::addColumn<QString>("candidate");
    QTest::addColumn<QString>("root");
    QTest::newRow("candidate of 2^32") << "4294967296"
                                       << "31623";
    QTest::newRow("root past the tables") << "1000010000"
                                          << "31624";
}

void TestTrialDivision::outOfBoundsStopsTheCheckedBuilds() {
#ifdef NDEBUG
    QSKIP("assertions are off in this build");
#else
    QFETCH(QString, candidate);
    QFETCH(QString, root);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--kernel", candidate, root});
    // qemu-user rejects the clone flags QProcess starts children with.
    if (!child.waitForStarted()) QSKIP(qPrintable("no child process: " + child.errorString()));
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    // The assertion's own report, not a sanitizer's.
    const QByteArray report = child.readAllStandardError();
    QVERIFY2(report.contains("Assertion") && report.contains("trial_division.cpp"), report);
#endif
}

int main(int argc, char* argv[]) {
    // The child of outOfBoundsStopsTheCheckedBuilds: one call to the kernel.
    if (argc == 4 && std::strcmp(argv[1], "--kernel") == 0)
        return tavrik::hasExactDivisor(std::atof(argv[2]), std::atof(argv[3]));
    QCoreApplication app(argc, argv);
    TestTrialDivision test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_trial_division.moc"
