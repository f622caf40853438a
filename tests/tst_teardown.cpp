#include "runtime/teardown.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

const QByteArray watchdogLine =
    "tavrik: the toolkit's shutdown did not finish; ending the process\n";

// The child: tst_teardown --child PLATFORM TEARDOWN_MS LIMIT_MS, whose
// tear-down takes TEARDOWN_MS (-1: for ever) and whose status is 7.
int runChild(char* argv[]) {
    const QString platform = QString::fromLatin1(argv[2]);
    const int teardownMs = std::atoi(argv[3]);
    const std::chrono::milliseconds limit(std::atoi(argv[4]));
    return tavrik::tearDownApplication(
        platform, 7,
        [teardownMs] {
            if (teardownMs < 0)
                std::this_thread::sleep_for(std::chrono::hours(1));
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(teardownMs));
        },
        limit);
}

} // namespace

class TestTeardown : public QObject {
    Q_OBJECT

private slots:
    void childProcess_data();
    void childProcess();
};

void TestTeardown::childProcess_data() {
    QTest::addColumn<QString>("platform");
    QTest::addColumn<int>("teardownMs"); // -1: blocks for ever
    QTest::addColumn<int>("limitMs");
    QTest::addColumn<QByteArray>("line"); // on the standard error

    // Not waited out: the watchdog, waiting by then, hears that it finished.
    QTest::newRow("wayland, tear-down finishes") << "wayland" << 200 << 30000 << QByteArray();
    QTest::newRow("wayland, tear-down blocks") << "wayland" << -1 << 300 << watchdogLine;
    QTest::newRow("wayland-egl, tear-down blocks") << "wayland-egl" << -1 << 300 << watchdogLine;
    // On X11 a slow shutdown may be the clipboard's hand-off: never cut short.
    QTest::newRow("xcb, tear-down slower than the limit") << "xcb" << 1000 << 100 << QByteArray();
}

void TestTeardown::childProcess() {
    QFETCH(QString, platform);
    QFETCH(int, teardownMs);
    QFETCH(int, limitMs);
    QFETCH(QByteArray, line);

    QProcess child;
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(),
                {"--child", platform, QString::number(teardownMs), QString::number(limitMs)});
    const bool started = child.waitForStarted();
    // qemu-user (7.2 in Debian 12 at least), which runs another processor's
    // build, rejects the clone flags QProcess starts children with.
    if (!started && qEnvironmentVariable("TAVRIK_TEST_EMULATED") == u"ON")
        QSKIP(qPrintable("the emulator cannot start a child process: " + child.errorString()));
    QVERIFY2(started, qPrintable(child.errorString()));
    const bool finished = child.waitForFinished(60000);
    if (!finished) child.kill();
    QVERIFY2(finished, "the child never ended");
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 7);
    // Windows writes a text line ending with CR LF.
    QCOMPARE(child.readAllStandardError().replace("\r\n", "\n"), line);
    if (teardownMs > limitMs) QVERIFY(clock.elapsed() >= teardownMs); // waited for it
    if (teardownMs >= 0 && teardownMs < limitMs) QVERIFY(clock.elapsed() < limitMs);
}

int main(int argc, char* argv[]) {
    if (argc == 5 && std::strcmp(argv[1], "--child") == 0) return runChild(argv);
    QCoreApplication app(argc, argv);
    TestTeardown test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_teardown.moc"
