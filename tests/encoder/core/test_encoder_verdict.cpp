// SPDX-License-Identifier: GPL-3.0-or-later
#include "encoder/core/EncoderVerdict.h"

#include <QTest>
#include <limits>

using namespace kvt::encoder;
using Kind = EncoderSettings::Kind;

namespace {

EncoderSettings incremental(std::optional<qint32> resolution) {
    return {Kind::Incremental, 8, resolution};
}
EncoderSettings absolute(int bits) {
    return {Kind::Absolute, bits, std::nullopt};
}

// A view written as "KEY+suffix|KEY+suffix" and its colour, for compact expectations.
QString describe(const std::optional<VerdictView>& view) {
    if (!view)
        return QStringLiteral("unchanged");
    QStringList lines;
    for (const VerdictLine& l : view->lines)
        lines << l.key + QLatin1Char('+') + l.suffix;
    const char* colour = view->colour == VerdictColour::Correct    ? "green"
                         : view->colour == VerdictColour::Doubtful ? "orange"
                                                                   : "red";
    return lines.join(QLatin1Char('|')) + QLatin1Char(' ') + QLatin1String(colour);
}

} // namespace

Q_DECLARE_METATYPE(EncoderSettings)

class TestEncoderVerdict : public QObject {
    Q_OBJECT
private slots:
    void decoders() {
        // 91: count -2000 (0xFFFFF830), verdict 1; 90: count 1000.
        const QByteArray result = QByteArray::fromHex("5b30f8ffff01") + QByteArray(59, '\0');
        const EncoderResult r = decodeEncoderResult(result);
        QCOMPARE(r.count, -2000);
        QCOMPARE(r.verdict, quint8(1));
        QCOMPARE(decodeEncoderCount(QByteArray::fromHex("5ae8030000")).count, 1000);
        QCOMPARE(decodeEncoderCount(QByteArray::fromHex("5a78563412")).count, 0x12345678);
        // A short report reads as zeros past its end.
        QCOMPARE(decodeEncoderResult(QByteArray::fromHex("5b0a")).count, 10);
        QCOMPARE(decodeEncoderResult(QByteArray::fromHex("5b0a")).verdict, quint8(0));
    }

    void verdicts_data() {
        QTest::addColumn<EncoderSettings>("settings");
        QTest::addColumn<qint32>("count");
        QTest::addColumn<int>("verdict");
        QTest::addColumn<QString>("expected");
        const QString ok = QStringLiteral("IDS_85+|IDS_86+%1 green");
        const QString doubt = QStringLiteral("IDS_85+|IDS_86+%1|IDS_87+ orange");
        QTest::newRow("incremental 1000, 1005") << incremental(1000) << 1005 << 0 << ok.arg(1005);
        QTest::newRow("incremental 1000, 995") << incremental(1000) << 995 << 0 << ok.arg(995);
        QTest::newRow("incremental 1000, 1006") << incremental(1000) << 1006 << 0 << doubt.arg(1006);
        QTest::newRow("incremental 1000, 994") << incremental(1000) << 994 << 0 << doubt.arg(994);
        QTest::newRow("incremental 1000, -1000") << incremental(1000) << -1000 << 0 << doubt.arg(-1000);
        QTest::newRow("incremental -1000, -1003") << incremental(-1000) << -1003 << 0 << ok.arg(-1003);
        QTest::newRow("no encoder, 5") << EncoderSettings{} << 5 << 0 << ok.arg(5);
        QTest::newRow("no encoder, 6") << EncoderSettings{} << 6 << 0 << doubt.arg(6);
        // Far-apart counts near the ends of the 32-bit range do not wrap into the tolerance.
        QTest::newRow("no overflow") << incremental(std::numeric_limits<qint32>::max())
                                     << std::numeric_limits<qint32>::min() << 0
                                     << doubt.arg(std::numeric_limits<qint32>::min());
        // A resolution field without an integer: the count is shown, the warning added, no verdict.
        QTest::newRow("resolution not a number") << incremental(std::nullopt) << 1000 << 0 << doubt.arg(1000);

        QTest::newRow("10 bit, 1022") << absolute(10) << 1022 << 0 << "IDS_85+|IDS_86+1022 (10 bit) green";
        QTest::newRow("10 bit, 1026") << absolute(10) << 1026 << 0 << "IDS_85+|IDS_86+1026 (10 bit) green";
        QTest::newRow("10 bit, 1027") << absolute(10) << 1027 << 0 << "IDS_86+1027|IDS_87+ orange";
        QTest::newRow("12 bit, 4094") << absolute(12) << 4094 << 0 << "IDS_85+|IDS_86+4094 (12 bit) green";
        QTest::newRow("12 bit, 256") << absolute(12) << 256 << 0 << "IDS_86+256|IDS_87+ orange";
        QTest::newRow("8 bit, 258") << absolute(8) << 258 << 0 << "IDS_85+|IDS_86+258 green";
        QTest::newRow("8 bit, 255") << absolute(8) << 255 << 0 << "IDS_85+|IDS_86+255 (8 bit) green";

        QTest::newRow("swapped") << incremental(1000) << 1000 << 1 << "IDS_90+|IDS_91+ red";
        QTest::newRow("swapped, absolute") << absolute(12) << -4096 << 1 << "IDS_90+|IDS_91+ red";
        QTest::newRow("no signal") << absolute(8) << 0 << 2 << "IDS_92+|IDS_93+ red";
        QTest::newRow("verdict 3") << incremental(1000) << 1000 << 3 << "unchanged";
        QTest::newRow("verdict 255") << absolute(8) << 256 << 255 << "unchanged";
    }
    void verdicts() {
        QFETCH(EncoderSettings, settings);
        QFETCH(qint32, count);
        QFETCH(int, verdict);
        QFETCH(QString, expected);
        QCOMPARE(describe(judge({count, quint8(verdict)}, settings)), expected);
    }

    void widthHints() {
        const QList<std::pair<qint32, const char*>> cases = {
            {254, ""},           {255, " (8 bit)"},   {257, " (8 bit)"}, {258, ""},  {1019, ""},
            {1020, " (10 bit)"}, {1028, " (10 bit)"}, {1029, ""},        {4079, ""}, {4080, " (12 bit)"},
            {4102, " (12 bit)"}, {4103, ""},          {-256, ""},
        };
        for (const auto& [count, hint] : cases)
            QCOMPARE(widthHint(count), QString::fromLatin1(hint));
    }
};

QTEST_APPLESS_MAIN(TestEncoderVerdict)
#include "test_encoder_verdict.moc"
