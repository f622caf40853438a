#include "runtime/conversions.h"

#include <QLocale>
#include <QTest>
#include <clocale>
#include <cmath>
#include <limits>

using namespace tavrik;

namespace {
const double inf = std::numeric_limits<double>::infinity();
}

class TestConversions : public QObject {
    Q_OBJECT

private slots:
    void textToNumber_data();
    void textToNumber();
    void ignoresTheLocale();
    void numberText_data();
    void numberText();
};

void TestConversions::textToNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    // No number at all
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blanks only") << " \t\r\n" << 0.0;
    QTest::newRow("junk") << "abc" << 0.0;
    QTest::newRow("lone point") << "." << 0.0;
    QTest::newRow("lone sign") << "-" << 0.0;
    QTest::newRow("C hex prefix") << "0x10" << 0.0;
    QTest::newRow("arabic-indic digits") << QString::fromUtf8("١٢٣") << 0.0;
    QTest::newRow("full-width digits") << QString::fromUtf8("１２３") << 0.0;

    // Leading number, rest ignored
    QTest::newRow("plain") << "1000000000" << 1e9;
    QTest::newRow("trailing junk") << "12abc" << 12.0;
    QTest::newRow("comma ends the number") << "1,000" << 1.0;
    QTest::newRow("second point ends it") << "1.2.3" << 1.2;
    QTest::newRow("no-break space is not a blank") << QString::fromUtf8("12\u00A03") << 12.0;

    // Blanks anywhere
    QTest::newRow("blank inside") << "1 000" << 1000.0;
    QTest::newRow("blank after sign") << " - 5" << -5.0;
    QTest::newRow("tab cr lf inside") << "\t1\r\n2" << 12.0;
    QTest::newRow("blanks in exponent") << "1 e - 2" << 0.01;

    // Signs and points
    QTest::newRow("plus") << "+7" << 7.0;
    QTest::newRow("minus") << "-7" << -7.0;
    QTest::newRow("fraction") << "2.5" << 2.5;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("plus point") << "+.5" << 0.5;

    // Exponents
    QTest::newRow("e") << "1e3" << 1000.0;
    QTest::newRow("D") << "1D3" << 1000.0;
    QTest::newRow("d negative") << "1d-2" << 0.01;
    QTest::newRow("E plus") << "2E+2" << 200.0;
    QTest::newRow("fraction times exponent") << "0.5e1" << 5.0;
    QTest::newRow("exponent without digits") << "7e" << 7.0;
    QTest::newRow("exponent sign without digits") << "7e+" << 7.0;
    QTest::newRow("exponent then junk") << "7ex" << 7.0;

    // Radix prefixes
    QTest::newRow("hex") << "&H1F" << 31.0;
    QTest::newRow("hex lower case") << "&h1f" << 31.0;
    QTest::newRow("hex with blanks") << "& H 1 F" << 31.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&o18" << 1.0;
    QTest::newRow("hex without digits") << "&H" << 0.0;
    QTest::newRow("hex with bad digit") << "&HG" << 0.0;
    QTest::newRow("unknown radix") << "&X1" << 0.0;
    QTest::newRow("sign before radix") << "-&H1F" << 0.0;
    QTest::newRow("hex 96 bits, rounded") << "&HFFFFFFFFFFFFFFFFFFFFFFFF" << std::ldexp(1.0, 96);
    QTest::newRow("octal 64 bits, rounded") << "&O1777777777777777777777" << std::ldexp(1.0, 64);
    QTest::newRow("hex beyond double") << "&H1" + QString(300, '0') << inf;
    QTest::newRow("octal beyond double") << "&O" + QString(400, '7') << inf;

    // Correct rounding
    QTest::newRow("0.1") << "0.1" << 0.1;
    QTest::newRow("tie to even") << "9007199254740993" << 9007199254740992.0;
    QTest::newRow("largest double")
        << "1.7976931348623157e308" << std::numeric_limits<double>::max();
    QTest::newRow("smallest subnormal") << "4.9e-324" << std::numeric_limits<double>::denorm_min();
    QTest::newRow("long mantissa, small exponent") << "1" + QString(400, '0') + "e-400" << 1.0;
    QTest::newRow("long fraction, large exponent") << "0." + QString(399, '0') + "1e400" << 1.0;

    // Beyond the range of a double
    QTest::newRow("overflow") << "1e400" << inf;
    QTest::newRow("negative overflow") << "-1e400" << -inf;
    QTest::newRow("just past largest") << "1.8e308" << inf;
    QTest::newRow("huge exponent") << "1e99999999999999999999999" << inf;
    QTest::newRow("many digits") << QString(400, '9') << inf;
    QTest::newRow("underflow") << "1e-400" << 0.0;
    QTest::newRow("negative underflow") << "-1e-400" << 0.0;
    QTest::newRow("zero with huge exponent") << "0e99999999999" << 0.0;

    // Out of range by many digits: the leading zeros and the length count
    QTest::newRow("point, 400 zeros, 1") << "." + QString(400, '0') + "1" << 0.0;
    QTest::newRow("400 zeros, 1e-330") << QString(400, '0') + "1e-330" << 0.0;
    QTest::newRow("1200 fraction zeros, 1e1201") << "0." + QString(1200, '0') + "1e1201" << 1.0;
    QTest::newRow("beyond ASCII ends the number") << QString::fromUtf8("1\u0131") << 1.0;
}

void TestConversions::textToNumber() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double actual = tavrik::textToNumber(text);
    QVERIFY2(actual == expected, qPrintable(QStringLiteral("got %1, expected %2")
                                                .arg(actual, 0, 'g', 17)
                                                .arg(expected, 0, 'g', 17)));
}

void TestConversions::ignoresTheLocale() {
    // A locale whose decimal point is a comma must not change the reading.
    // (Windows names its locales differently, and always has Italian.)
    const char* commaLocales[] = {"it_IT.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8",
                                  "Italian_Italy.1252"};
    const char* found = nullptr;
    for (const char* name : commaLocales)
        if (std::setlocale(LC_ALL, name)) {
            found = name;
            break;
        }
    if (!found) {
        // CI makes it_IT.UTF-8, so there a missing locale is a fault of the set-up.
        if (!qEnvironmentVariableIsEmpty("CI")) QFAIL("no locale with a decimal comma under CI");
        QSKIP("no locale with a decimal comma is installed (CI makes it_IT.UTF-8)");
    }
    QCOMPARE(std::localeconv()->decimal_point, ",");
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));

    const double withPoint = tavrik::textToNumber(u"2.5");
    const double withComma = tavrik::textToNumber(u"2,5");
    const QString text = signedNumberText(1234567);

    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
    QCOMPARE(withPoint, 2.5);
    QCOMPARE(withComma, 2.0);
    QCOMPARE(text, QStringLiteral(" 1234567"));
}

void TestConversions::numberText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("signedText");
    QTest::addColumn<QString>("plainText");

    QTest::newRow("zero") << 0.0 << " 0"
                          << "0";
    QTest::newRow("negative zero") << -0.0 << " 0"
                                   << "0";
    QTest::newRow("seven") << 7.0 << " 7"
                           << "7";
    QTest::newRow("twenty-five") << 25.0 << " 25"
                                 << "25";
    QTest::newRow("largest prime searched") << 1000009999.0 << " 1000009999"
                                            << "1000009999";
    QTest::newRow("ten to the 15") << 1e15 << " 1000000000000000"
                                   << "1000000000000000";
    QTest::newRow("2 to the 63, past 64-bit integers")
        << std::ldexp(1.0, 63) << " 9223372036854775808"
        << "9223372036854775808";
    QTest::newRow("negative") << -5.0 << "-5"
                              << "-5";
}

void TestConversions::numberText() {
    QFETCH(double, value);
    QFETCH(QString, signedText);
    QFETCH(QString, plainText);
    QCOMPARE(signedNumberText(value), signedText);
    QCOMPARE(plainNumberText(value), plainText);
}

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"
