// SPDX-License-Identifier: GPL-3.0-or-later
#include "format/core/NumberFormat.h"

#include <QLocale>
#include <QTest>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

using kvt::fmt::Separators;

namespace {

const QLocale Polish(QLocale::Polish, QLocale::Poland);
const QLocale English(QLocale::English, QLocale::UnitedStates);
const Separators Point{QLatin1Char('.'), QLatin1Char(',')};
const Separators Comma{QLatin1Char(','), QLatin1Char(' ')};

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Expected texts are written with "." as the decimal separator and "_" as the group separator.
QString localized(QString expected, Separators s) {
    expected.replace(QLatin1Char('.'), s.decimal);
    expected.replace(QLatin1Char('_'), s.group);
    return expected;
}

} // namespace

class TestNumberFormat : public QObject {
    Q_OBJECT

    // Runs `check` with the separators of the Polish and the English default locale and with
    // explicit point and comma separators.
    template <typename Check> void forEachSeparators(Check check) {
        for (const QLocale& locale : {Polish, English}) {
            QLocale::setDefault(locale);
            check(Separators::current(), true);
            if (QTest::currentTestFailed())
                return;
        }
        QLocale::setDefault(English);
        for (const Separators& s : {Point, Comma}) {
            check(s, false);
            if (QTest::currentTestFailed())
                return;
        }
    }

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void separatorsFollowDefaultLocale() {
        QLocale::setDefault(Polish);
        Separators s = Separators::current();
        QCOMPARE(s.decimal, QLatin1Char(','));
        QCOMPARE(s.group, Polish.groupSeparator().at(0));
        QLocale::setDefault(English);
        s = Separators::current();
        QCOMPARE(s.decimal, QLatin1Char('.'));
        QCOMPARE(s.group, QLatin1Char(','));
    }

    void general_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("p");
        QTest::addColumn<int>("e");
        QTest::addColumn<QString>("expected");

        QTest::newRow("plain decimals") << 1.16 << 3 << 2 << "1.16";
        QTest::newRow("integral value") << 2.0 << 3 << 2 << "2";
        QTest::newRow("smallest plain") << 0.0001 << 3 << 2 << "0.0001";
        QTest::newRow("below 0.0001") << 0.00005 << 3 << 2 << "5E-05";
        QTest::newRow("zero") << 0.0 << 5 << 4 << "0";
        QTest::newRow("negative zero") << -0.0 << 5 << 4 << "0";
        QTest::newRow("negative power of ten") << -100000000.0 << 5 << 4 << "-1E0008";
        QTest::newRow("large rounded") << 123456789.0 << 5 << 4 << "1.2346E0008";
        QTest::newRow("e above 4 is 0") << 123456789.0 << 5 << 5 << "1.2346E8";
        QTest::newRow("half") << 12.5 << 5 << 4 << "12.5";
        QTest::newRow("p integer digits") << 12345.0 << 5 << 0 << "12345";
        QTest::newRow("carry to new digit") << 9.99996 << 5 << 0 << "10";
        QTest::newRow("carry past p digits") << 99999.5 << 5 << 2 << "1E05";
        QTest::newRow("p=1 halfway away from zero") << 2.5 << 1 << 0 << "3";
        QTest::newRow("exact halfway away from zero") << -0.125 << 2 << 0 << "-0.13";
        // The doubles nearest to 0.15 and 1.005 lie just below halfway.
        QTest::newRow("binary below halfway") << 0.15 << 1 << 0 << "0.1";
        QTest::newRow("p=18 shows binary error") << 0.1 << 18 << 0 << "0.100000000000000006";
        QTest::newRow("p=18 integer") << 123456789012345678.0 << 18 << 0 << "123456789012345680";
        QTest::newRow("tiny") << 1e-300 << 5 << 4 << "1E-0300";
        QTest::newRow("subnormal") << 5e-324 << 3 << 0 << "4.94E-324";
        QTest::newRow("nan") << NaN << 5 << 4 << "NAN";
        QTest::newRow("-inf") << -Inf << 5 << 4 << "-INF";
    }

    void general() {
        QFETCH(double, value);
        QFETCH(int, p);
        QFETCH(int, e);
        QFETCH(QString, expected);
        forEachSeparators([&](Separators s, bool fromLocale) {
            QCOMPARE(kvt::fmt::general(value, p, e, s), localized(expected, s));
            if (fromLocale)
                QCOMPARE(kvt::fmt::general(value, p, e), localized(expected, s));
        });
    }

    void fixed_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("p");
        QTest::addColumn<int>("d");
        QTest::addColumn<QString>("expected");

        QTest::newRow("significant rounding first") << 123.4567 << 5 << 3 << "123.460";
        QTest::newRow("tiny to zero") << 0.0001 << 8 << 3 << "0.000";
        QTest::newRow("fewer decimals") << 5.432 << 3 << 1 << "5.4";
        QTest::newRow("more integer digits than p") << 123456.7 << 5 << 3 << "1.2346E005";
        QTest::newRow("fallback with d above 4") << 123456.7 << 5 << 5 << "1.2346E5";
        QTest::newRow("zero") << 0.0 << 5 << 3 << "0.000";
        QTest::newRow("d=0 halfway") << 12.5 << 5 << 0 << "13";
        QTest::newRow("d=0 rounds up from below 1") << 0.5 << 5 << 0 << "1";
        QTest::newRow("decimals halfway") << -12.25 << 5 << 1 << "-12.3";
        QTest::newRow("rounds to first decimal") << 0.0005 << 5 << 3 << "0.001";
        QTest::newRow("negative to zero") << -0.0004 << 5 << 3 << "0.000";
        QTest::newRow("negative kept") << -0.0006 << 5 << 3 << "-0.001";
        QTest::newRow("significant carry") << 9.99996 << 5 << 3 << "10.000";
        QTest::newRow("decimal carry") << 0.9996 << 5 << 3 << "1.000";
        QTest::newRow("p=18 d=18") << 0.5 << 18 << 18 << "0.500000000000000000";
        QTest::newRow("nan") << NaN << 5 << 3 << "NAN";
    }

    void fixed() {
        QFETCH(double, value);
        QFETCH(int, p);
        QFETCH(int, d);
        QFETCH(QString, expected);
        forEachSeparators([&](Separators s, bool fromLocale) {
            QCOMPARE(kvt::fmt::fixed(value, p, d, s), localized(expected, s));
            if (fromLocale)
                QCOMPARE(kvt::fmt::fixed(value, p, d), localized(expected, s));
        });
    }

    void grouped_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("p");
        QTest::addColumn<int>("d");
        QTest::addColumn<QString>("expected");

        QTest::newRow("four digits") << 1234.5 << 5 << 3 << "1_234.500";
        QTest::newRow("two groups") << 1234567.0 << 7 << 0 << "1_234_567";
        QTest::newRow("negative six digits") << -123456.0 << 6 << 2 << "-123_456.00";
        QTest::newRow("carry makes a group") << 999.9996 << 7 << 3 << "1_000.000";
        QTest::newRow("scientific not grouped") << 123456.7 << 5 << 3 << "1.2346E005";
    }

    void grouped() {
        QFETCH(double, value);
        QFETCH(int, p);
        QFETCH(int, d);
        QFETCH(QString, expected);
        forEachSeparators([&](Separators s, bool fromLocale) {
            QCOMPARE(kvt::fmt::grouped(value, p, d, s), localized(expected, s));
            if (fromLocale)
                QCOMPARE(kvt::fmt::grouped(value, p, d), localized(expected, s));
        });
    }

    // The digits general(18, ...) shows are the exact decimal expansion of the binary value rounded
    // half up at 18 digits, for doubles of every magnitude (random bit patterns), including those
    // whose expansion runs to hundreds of digits.
    void generalDigitsFollowTheExactExpansion() {
        std::mt19937_64 random(0x5EED);
        for (int i = 0; i < 20000; ++i) {
            double value = 0;
            const std::uint64_t bits = random();
            std::memcpy(&value, &bits, sizeof value);
            if (!std::isfinite(value) || value == 0)
                continue;
            char exact[800];
            std::snprintf(exact, sizeof exact, "%.770e", std::fabs(value));
            QByteArray digits = QByteArray(exact).left(QByteArray(exact).indexOf('e')).remove(1, 1);
            const bool up = digits.at(18) >= '5';
            digits.truncate(18);
            for (int at = 17; up && at >= 0; --at) {
                if (digits[at] != '9') {
                    digits[at] = char(digits[at] + 1);
                    break;
                }
                digits[at] = '0';
                if (at == 0)
                    digits.prepend('1');
            }
            while (digits.endsWith('0'))
                digits.chop(1);
            QString shown = kvt::fmt::general(value, 18, 4, Point);
            shown =
                shown.left(shown.indexOf(QLatin1Char('E'))).remove(QLatin1Char('-')).remove(QLatin1Char('.'));
            while (shown.startsWith(QLatin1Char('0')))
                shown.remove(0, 1);
            while (shown.endsWith(QLatin1Char('0')))
                shown.chop(1);
            QCOMPARE(shown, QString::fromLatin1(digits));
        }
    }

    void readDecimal_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");

        QTest::newRow("comma") << "1,5" << true << 1.5;
        QTest::newRow("point") << "1.5" << true << 1.5;
        QTest::newRow("comma with exponent") << "1,5e2" << true << 150.0;
        QTest::newRow("negative exponent") << "1.5E-2" << true << 0.015;
        QTest::newRow("negative") << "-2,5" << true << -2.5;
        QTest::newRow("plus sign") << "+3" << true << 3.0;
        QTest::newRow("no integer digits") << ",5" << true << 0.5;
        QTest::newRow("surrounding blanks") << " \t12.5 " << true << 12.5;
        QTest::newRow("underflow reads as zero") << "1e-400" << true << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("inner blank") << "1 234,5" << false << 0.0;
        QTest::newRow("no-break space group") << QStringLiteral("1\u00a0234") << false << 0.0;
        QTest::newRow("two separators") << "1.2.3" << false << 0.0;
        QTest::newRow("grouped with point") << "1,234.5" << false << 0.0;
        QTest::newRow("separator only") << "." << false << 0.0;
        QTest::newRow("exponent only") << "e5" << false << 0.0;
        QTest::newRow("exponent without digits") << "1e" << false << 0.0;
        QTest::newRow("decimal exponent") << "1e2,5" << false << 0.0;
        QTest::newRow("overflow") << "1e400" << false << 0.0;
        QTest::newRow("nan") << "nan" << false << 0.0;
        QTest::newRow("-infinity") << "-infinity" << false << 0.0;
        QTest::newRow("non-ASCII digits") << QStringLiteral("\u0661\u0662") << false << 0.0;
    }

    void readDecimal() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(double, value);
        forEachSeparators([&](Separators s, bool fromLocale) {
            const std::optional<double> read =
                fromLocale ? kvt::fmt::readDecimal(text) : kvt::fmt::readDecimal(text, s);
            QCOMPARE(read.has_value(), valid);
            if (valid)
                QCOMPARE(*read, value);
        });
    }

    // What the general format writes with 17 digits reads back as the same double.
    void roundTrip_data() {
        QTest::addColumn<double>("value");
        QTest::newRow("0.1") << 0.1;
        QTest::newRow("negative") << -1234.5678;
        QTest::newRow("large") << 6.02214076e23;
        QTest::newRow("subnormal") << 5e-324;
    }

    void roundTrip() {
        QFETCH(double, value);
        forEachSeparators([&](Separators s, bool) {
            const QString text = kvt::fmt::general(value, 17, 0, s);
            const std::optional<double> read = kvt::fmt::readDecimal(text, s);
            QVERIFY2(read.has_value(), qPrintable(text));
            QCOMPARE(*read, value);
        });
    }

    void readInteger_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");

        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("positive") << "123" << true << 123;
        QTest::newRow("negative") << "-123" << true << -123;
        QTest::newRow("plus sign") << "+7" << true << 7;
        QTest::newRow("blanks") << " 42 " << true << 42;
        QTest::newRow("max") << "2147483647" << true << std::numeric_limits<qint32>::max();
        QTest::newRow("min") << "-2147483648" << true << std::numeric_limits<qint32>::min();
        QTest::newRow("above max") << "2147483648" << false << 0;
        QTest::newRow("below min") << "-2147483649" << false << 0;
        QTest::newRow("point") << "1.0" << false << 0;
        QTest::newRow("comma") << "1,0" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("inner blank") << "1 000" << false << 0;
    }

    void readInteger() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const std::optional<qint32> read = kvt::fmt::readInteger(text);
        QCOMPARE(read.has_value(), valid);
        if (valid)
            QCOMPARE(*read, value);
    }
};

QTEST_GUILESS_MAIN(TestNumberFormat)
#include "test_number_format.moc"
