// SPDX-License-Identifier: GPL-3.0-or-later
#include "format/core/FloatText.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <bit>
#include <cstdlib>
#include <limits>
#include <random>

using kvt::fmt::floatJson;
using kvt::fmt::Separators;
using kvt::fmt::shortestFloat;

namespace {

const Separators Point{QLatin1Char('.'), QLatin1Char(',')};
const Separators Comma{QLatin1Char(','), QLatin1Char(' ')};

// The document {"v": value} as a JSON writer prints it.
QByteArray jsonText(float value) {
    return QJsonDocument(QJsonObject{{QStringLiteral("v"), floatJson(value)}}).toJson(QJsonDocument::Compact);
}

} // namespace

class TestFloatText : public QObject {
    Q_OBJECT

private slots:
    void shortestDigits_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("firmware 2.04") << 2.04f << "2.04";
        QTest::newRow("0.1") << 0.1f << "0.1";
        QTest::newRow("negative") << -1.5f << "-1.5";
        QTest::newRow("integer") << 3.0f << "3";
        QTest::newRow("2^24") << 16777216.0f << "16777216";
        // The single nearest 123456789 is 123456792; eight digits already read back as it.
        QTest::newRow("integer beyond 2^24") << 123456789.0f << "123456790";
        QTest::newRow("smallest plain") << 1e-5f << "0.00001";
        QTest::newRow("below plain") << 1.5e-7f << "1.5e-07";
        QTest::newRow("largest plain") << 1e15f << "1000000000000000";
        QTest::newRow("1e16") << 1e16f << "1e+16";
        QTest::newRow("1e38") << 1e38f << "1e+38";
        QTest::newRow("largest") << std::numeric_limits<float>::max() << "3.4028235e+38";
        QTest::newRow("smallest normal") << std::numeric_limits<float>::min() << "1.1754944e-38";
        QTest::newRow("smallest denormal") << std::numeric_limits<float>::denorm_min() << "1e-45";
        QTest::newRow("largest denormal") << std::bit_cast<float>(0x007FFFFFu) << "1.1754942e-38";
        QTest::newRow("zero") << 0.0f << "0";
        QTest::newRow("negative zero") << -0.0f << "0";
        QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << "NAN";
        QTest::newRow("infinity") << std::numeric_limits<float>::infinity() << "INF";
        QTest::newRow("minus infinity") << -std::numeric_limits<float>::infinity() << "-INF";
    }
    void shortestDigits() {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(shortestFloat(value, Point), text);
        QCOMPARE(shortestFloat(value, Comma), QString(text).replace(QLatin1Char('.'), QLatin1Char(',')));
    }

    // Every finite single, plain or scientific, reads back bit for bit (zero without its sign), in
    // no more than the nine digits a single ever needs.
    void everyTextReadsBackAsTheSameSingle() {
        std::mt19937 random(20261209);
        for (int i = 0; i < 200000; ++i) {
            const float value = std::bit_cast<float>(quint32(random()));
            if (!std::isfinite(value))
                continue;
            const QByteArray text = shortestFloat(value, Point).toLatin1();
            const float back = std::strtof(text.constData(), nullptr);
            if (std::bit_cast<quint32>(back) != std::bit_cast<quint32>(value) && !(value == 0 && back == 0))
                QFAIL(qPrintable(QStringLiteral("%1 reads back as another single").arg(QLatin1String(text))));
            const qsizetype mantissa = text.indexOf('e') < 0 ? text.size() : text.indexOf('e');
            int digits = 0;
            bool leading = true;
            for (const char c : text.left(mantissa)) {
                if (c >= '1' && c <= '9')
                    leading = false;
                if (c >= '0' && c <= '9' && !leading)
                    ++digits;
            }
            if (text.indexOf('e') >= 0 || text.indexOf('.') >= 0)
                QVERIFY2(digits <= 9, text.constData());
        }
    }

    // The JSON number carries the same shortest digits, and reads back as the same single.
    void jsonNumbers() {
        QCOMPARE(jsonText(2.04f), QByteArray(R"({"v":2.04})"));
        QCOMPARE(jsonText(0.1f), QByteArray(R"({"v":0.1})"));
        QCOMPARE(jsonText(7.0f), QByteArray(R"({"v":7})"));
        QCOMPARE(jsonText(1e38f), QByteArray(R"({"v":1e+38})"));
        QCOMPARE(jsonText(std::numeric_limits<float>::denorm_min()), QByteArray(R"({"v":1e-45})"));
        QCOMPARE(jsonText(-0.0f), QByteArray(R"({"v":0})"));
        QCOMPARE(jsonText(std::numeric_limits<float>::quiet_NaN()), QByteArray(R"({"v":null})"));
        QCOMPARE(jsonText(-std::numeric_limits<float>::infinity()), QByteArray(R"({"v":null})"));

        std::mt19937 random(7);
        for (int i = 0; i < 20000; ++i) {
            const float value = std::bit_cast<float>(quint32(random()));
            if (!std::isfinite(value) || value == 0)
                continue;
            const QJsonValue back =
                QJsonDocument::fromJson(jsonText(value)).object().value(QStringLiteral("v"));
            QCOMPARE(float(back.toDouble()), value);
        }
    }
};

QTEST_GUILESS_MAIN(TestFloatText)
#include "test_float_text.moc"
