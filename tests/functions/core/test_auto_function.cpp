// SPDX-License-Identifier: GPL-3.0-or-later
#include "functions/core/AutoFunction.h"

#include <QTest>

using namespace kvt;
using namespace kvt::functions;
using program::CommandRecord;

namespace {

const fmt::Separators Comma{QLatin1Char(','), QChar(0xA0)};
const fmt::Separators Point{QLatin1Char('.'), QLatin1Char(',')};

CommandRecord rec(std::initializer_list<int> values) {
    CommandRecord r{};
    int i = 0;
    for (int v : values)
        r[i++] = static_cast<quint8>(v);
    return r;
}

} // namespace

class TestAutoFunction : public QObject {
    Q_OBJECT
private slots:
    // The speed field as the page reads it, on both kinds of locale, and what it shows after.
    void speedEntry_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<float>("speed");
        QTest::addColumn<QString>("shownComma");
        QTest::addColumn<QString>("shownPoint");
        QTest::newRow("2.5") << "2.5" << 2.5f << "2,5"
                             << "2.5";
        QTest::newRow("2,5") << "2,5" << 2.5f << "2,5"
                             << "2.5";
        QTest::newRow("5000") << "5000" << 1000.0f << "1000"
                              << "1000";
        QTest::newRow("1000.4") << "1000.4" << 1000.0f << "1000"
                                << "1000";
        QTest::newRow("0") << "0" << 0.001f << "0,001"
                           << "0.001";
        QTest::newRow("-3") << "-3" << 0.001f << "0,001"
                            << "0.001";
        QTest::newRow("0.0004") << "0.0004" << 0.001f << "0,001"
                                << "0.001";
        QTest::newRow("1e-60 (zero in single precision)") << "1e-60" << 0.001f << "0,001"
                                                          << "0.001";
        QTest::newRow("0.001") << "0.001" << 0.001f << "0,001"
                               << "0.001";
        QTest::newRow("123.456789") << "123.456789" << 123.456789f << "123,46"
                                    << "123.46";
    }
    void speedEntry() {
        QFETCH(QString, typed);
        QFETCH(float, speed);
        QFETCH(QString, shownComma);
        QFETCH(QString, shownPoint);
        for (const fmt::Separators& s : {Comma, Point}) {
            const std::optional<float> read = readSpeed(typed, s);
            QVERIFY(read);
            QCOMPARE(*read, speed);
        }
        QCOMPARE(speedText(speed, Comma), shownComma);
        QCOMPARE(speedText(speed, Point), shownPoint);
    }

    void invalidEntries() {
        for (const QString& text :
             {QString(), QStringLiteral("abc"), QStringLiteral("1,2,3"), QStringLiteral("1e")})
            QVERIFY2(!readSpeed(text, Comma) && !readSpeed(text, Point), qPrintable(text));
        for (const QString& text : {QStringLiteral("1.5"), QStringLiteral("1,5"), QString(),
                                    QStringLiteral("x"), QStringLiteral("99999999999")})
            QVERIFY2(!readWait(text), qPrintable(text));
    }

    void waitEntry() {
        QCOMPARE(readWait(QStringLiteral("-10")), std::optional<qint32>(0));
        QCOMPARE(readWait(QStringLiteral("2000000")), std::optional<qint32>(1000000));
        QCOMPARE(readWait(QStringLiteral("1000000")), std::optional<qint32>(1000000));
        QCOMPARE(readWait(QStringLiteral("0")), std::optional<qint32>(0));
        QCOMPARE(readWait(QStringLiteral("500")), std::optional<qint32>(500));
        QCOMPARE(waitText(1000000), QStringLiteral("1000000"));
    }

    void fixedSpeedProgram() {
        const QList<CommandRecord> p = generateProgram({1.0f, 500, 70000, false});
        const QList<CommandRecord> expected = {
            rec({4}),
            rec({15, 1}),
            rec({6, 0x00, 0x00, 0x80, 0x3F}),
            rec({21, 4, 1}),
            rec({10}),
            rec({19, 0xF4, 0x01}),
            rec({6, 0x00, 0x00, 0x80, 0xBF}),
            rec({21, 3, 1}),
            rec({10}),
            rec({19, 0x70, 0x11, 0x01}),
            rec({16, 0, 0, 0, 0, 0, 1, 0, 0, 0}),
        };
        QCOMPARE(p, expected);
    }

    // -S is S with its sign bit set, for every speed the field can give.
    void negativeSpeedIsSignBit() {
        for (float s : {0.001f, 2.5f, 1000.0f}) {
            const QList<CommandRecord> p = generateProgram({s, 0, 0, false});
            QCOMPARE(p.size(), 11);
            CommandRecord back = p[2];
            back[4] |= 0x80;
            QCOMPARE(p[6], back);
        }
    }

    void analogSpeedProgram() {
        // S plays no part: two settings differing only in S give the same program.
        const QList<CommandRecord> p = generateProgram({1.0f, 0, 1000000, true});
        QCOMPARE(p, generateProgram({55.0f, 0, 1000000, true}));
        const QList<CommandRecord> expected = {
            rec({4}),
            rec({15, 1}),
            rec({6, 0, 0, 0, 0, 0, 0, 0, 0, 254}),
            rec({19, 20}),
            rec({17, 4, 2, 0, 0, 0, 1, 0, 0, 0}),
            rec({10}),
            rec({19, 0}),
            rec({15, 7}),
            rec({6, 0, 0, 0, 0, 0, 0, 0, 0, 253}),
            rec({19, 20}),
            rec({17, 3, 2, 0, 0, 0, 7, 0, 0, 0}),
            rec({10}),
            rec({19, 0x40, 0x42, 0x0F}),
            rec({16, 0, 0, 0, 0, 0, 1, 0, 0, 0}),
        };
        QCOMPARE(p, expected);
    }
};

QTEST_APPLESS_MAIN(TestAutoFunction)
#include "test_auto_function.moc"
