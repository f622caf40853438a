#include "fake_controls.h"
#include "reference_primes.h"
#include "runtime/conversions.h"
#include "search/find_command.h"

#include <QTest>

using tavrik::TextBox;

class TestFindCommand : public QObject {
    Q_OBJECT

private slots:
    void rangeCheck_data();
    void rangeCheck();
};

void TestFindCommand::rangeCheck_data() {
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::addColumn<QStringList>("emptied");

    const QString msg1 = "LOWER LIMIT MUST BE AN INTEGER > = 0";
    const QString msg2 = "UPPER LIMIT MUST BE AN INTEGER > 0";
    const QString msg3 = "INTERVAL TOO LARGE !";
    const QString msg4 = "NUMBER TO LARGE !";
    const QString msg5 = "UPPER LIMIT MUST BE > LOWER LIMIT !";
    const QStringList both{"Text1", "Text2"};
    const QStringList upperOnly{"Text2"};
    const QStringList none;

    QTest::newRow("both empty") << ""
                                << "" << msg5 << upperOnly;
    QTest::newRow("lower empty") << ""
                                 << "100"
                                 << "" << none;
    QTest::newRow("lower negative") << "-5"
                                    << "100" << msg1 << both;
    QTest::newRow("lower fractional") << "2.5"
                                      << "100" << msg1 << both;
    QTest::newRow("both bad: only the first message") << "-5"
                                                      << "2.5" << msg1 << both;
    QTest::newRow("upper fractional") << "10"
                                      << "12.5" << msg2 << upperOnly;
    QTest::newRow("upper negative") << "10"
                                    << "-1" << msg2 << upperOnly;
    QTest::newRow("upper zero passes test 2, fails order") << "10"
                                                           << "0" << msg5 << upperOnly;
    QTest::newRow("interval at its limit") << "0"
                                           << "10000"
                                           << "" << none;
    QTest::newRow("interval one over") << "0"
                                       << "10001" << msg3 << upperOnly;
    QTest::newRow("lower at its limit") << "1000000000"
                                        << "1000010000"
                                        << "" << none;
    QTest::newRow("lower at its limit, interval one over") << "1000000000"
                                                           << "1000010001" << msg3 << upperOnly;
    QTest::newRow("lower one over") << "1000000001"
                                    << "1000000101" << msg4 << both;
    QTest::newRow("lower over, upper below it") << "1000000001"
                                                << "5" << msg4 << both;
    QTest::newRow("lower over, interval over: interval first") << "1000000001"
                                                               << "1000010002" << msg3 << upperOnly;
    QTest::newRow("equal limits") << "7"
                                  << "7" << msg5 << upperOnly;
    QTest::newRow("reversed") << "20"
                              << "10" << msg5 << upperOnly;
    QTest::newRow("smallest range") << "1"
                                    << "2"
                                    << "" << none;
    QTest::newRow("exponent and junk") << "0.5e1"
                                       << "1E1xyz"
                                       << "" << none;
    QTest::newRow("negative zero") << "-0"
                                   << "3"
                                   << "" << none;
    QTest::newRow("hex limits") << "&H10"
                                << "&H20"
                                << "" << none;
    QTest::newRow("huge lower") << "1e400"
                                << "5" << msg4 << both;
    QTest::newRow("huge upper") << "5"
                                << "1e400" << msg3 << upperOnly;
    QTest::newRow("huge both") << "1e400"
                               << "1e400" << msg4 << both;
    QTest::newRow("hugely negative lower") << "-1e400"
                                           << "5" << msg1 << both;
    QTest::newRow("tiny lower is zero") << "1e-400"
                                        << "10"
                                        << "" << none;
}

void TestFindCommand::rangeCheck() {
    QFETCH(QString, lower);
    QFETCH(QString, upper);
    QFETCH(QString, message);
    QFETCH(QStringList, emptied);

    FakeControls form;
    form.field(TextBox::Text1) = lower;
    form.field(TextBox::Text2) = upper;
    form.field(TextBox::Text3) = "42"; // count of an earlier search
    form.items = QStringList{"  left over"};

    tavrik::findPrimeNumbers(form);

    // The list is emptied before anything is read, and the lower limit is read first.
    QVERIFY(form.log.size() >= 2);
    QCOMPARE(form.log.at(0), "clear List1");
    QCOMPARE(form.log.at(1), "read Text1");

    if (!message.isEmpty()) {
        QStringList expected{"clear List1", "read Text1"};
        if (!message.startsWith("LOWER")) expected << "read Text2";
        expected << "message " + message; // the box closes before any field is emptied
        for (const QString& field : emptied)
            expected << "set " + field + " ''";
        QCOMPARE(form.log, expected);
        QVERIFY(form.items.isEmpty());
        QCOMPARE(form.field(TextBox::Text3), "42");
        QCOMPARE(form.field(TextBox::Text1), emptied.contains("Text1") ? QString() : lower);
        QVERIFY(form.field(TextBox::Text2).isEmpty());
        return;
    }

    // Accepted: no message, fields left as typed, the primes listed and counted.
    QCOMPARE(form.log.at(2), "read Text2");
    QVERIFY(form.log.filter("message").isEmpty());
    QCOMPARE(form.field(TextBox::Text1), lower);
    QCOMPARE(form.field(TextBox::Text2), upper);
    QVERIFY(form.log.last().startsWith("set Text3"));
    QCOMPARE(form.log.filter("set ").size(), 1);

    const double low = tavrik::textToNumber(lower);
    const double high = tavrik::textToNumber(upper);
    QStringList expectedItems;
    for (const auto p :
         referencePrimes(static_cast<std::int64_t>(low), static_cast<std::int64_t>(high)))
        expectedItems << "  " + QString::number(p);
    QCOMPARE(form.items, expectedItems);
    QCOMPARE(form.field(TextBox::Text3), QString::number(expectedItems.size()));
}

QTEST_GUILESS_MAIN(TestFindCommand)
#include "tst_find_command.moc"
