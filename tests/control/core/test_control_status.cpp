// SPDX-License-Identifier: GPL-3.0-or-later
// Live status and device identity: decoding from byte fixtures laid out as the controller sends
// them, and the texts and colours derived from them.
#include "control/core/Identity.h"
#include "control/core/LiveStatus.h"

#include <QTest>

using namespace kvt;
using namespace kvt::control;

namespace {

const fmt::Separators Comma{QLatin1Char(','), QLatin1Char(' ')};
const fmt::Separators Point{QLatin1Char('.'), QLatin1Char(',')};

// A live status report: every field set, the uninterpreted bytes filled with noise.
QByteArray liveFixture() {
    return QByteArray::fromHex("61"         // 97
                               "0000a03f"   // position 1.25
                               "000020c0"   // speed -2.5
                               "41"         // Run and Out1
                               "07"         // overload
                               "deadbeef"   // not interpreted
                               "60000000"   // temperature raw 96
                               "38150000"   // analog 5432 mV
                               "c05d0000"   // supply 24000 mV
                               "18fcffff"   // encoder -1000
                               "00002041"   // destination 10
                               "00002040"   // move time 2.5 s
                               "0000003f"   // acceleration time 0.5 s
                               "ffffffff"   // not interpreted
                               "0000a03f"); // acceleration distance 1.25
}

LiveStatus withRaw(qint32 temperatureRaw, quint32 supplyMv) {
    LiveStatus s;
    s.temperatureRaw = temperatureRaw;
    s.supplyMv = supplyMv;
    return s;
}

} // namespace

class TestControlStatus : public QObject {
    Q_OBJECT
private slots:
    void decodesEveryField() {
        const LiveStatus s = decodeLiveStatus(liveFixture());
        QCOMPARE(s.position, 1.25f);
        QCOMPARE(s.speed, -2.5f);
        QCOMPARE(s.ioFlags, quint8(0x41));
        QCOMPARE(s.motorState, quint8(7));
        QCOMPARE(s.temperatureRaw, 96);
        QCOMPARE(s.analogMv, 5432u);
        QCOMPARE(s.supplyMv, 24000u);
        QCOMPARE(s.encoderCount, -1000);
        QCOMPARE(s.destination, 10.0f);
        QCOMPARE(s.moveTime, 2.5f);
        QCOMPARE(s.accTime, 0.5f);
        QCOMPARE(s.accDistance, 1.25f);
        // A report cut short reads the missing fields as zero.
        const LiveStatus cut = decodeLiveStatus(liveFixture().left(11));
        QCOMPARE(cut.motorState, quint8(7));
        QCOMPARE(cut.accDistance, 0.0f);
    }

    void masksFromTheInputByte() {
        const LiveStatus runAndOut1 = decodeLiveStatus(liveFixture());
        QCOMPARE(runAndOut1.inputMask(), quint8(0x01));
        QCOMPARE(runAndOut1.outputMask(), quint8(0x01));
        LiveStatus out2;
        out2.ioFlags = 0x80;
        QCOMPARE(out2.inputMask(), quint8(0));
        QCOMPARE(out2.outputMask(), quint8(2));
    }

    void viewInBothLocales() {
        LiveStatus s = decodeLiveStatus(liveFixture());
        s.position = 1234.5678f;
        const LiveStatusView pl = viewOf(s, 3, QStringLiteral("obr."), Comma);
        QCOMPARE(pl.position, QStringLiteral("1 234,600"));
        QCOMPARE(pl.speed, QStringLiteral("-2,500"));
        QCOMPARE(pl.destination, QStringLiteral("10,000"));
        QCOMPARE(pl.analog, QStringLiteral("5,4 [V]"));
        QCOMPARE(pl.supply, QStringLiteral("24 [V]"));
        QCOMPARE(pl.encoder, QStringLiteral("-1000 [imp]"));
        QCOMPARE(pl.moveTime, QStringLiteral("2,50 [s]"));
        QCOMPARE(pl.accTime, QStringLiteral("0,50 [s]"));
        QCOMPARE(pl.accDistance, QStringLiteral("1,250 [obr.]"));
        QCOMPARE(pl.temperature, QStringLiteral("71 [C]"));

        const LiveStatusView en = viewOf(s, 1, QStringLiteral("mm"), Point);
        QCOMPARE(en.position, QStringLiteral("1,234.6"));
        QCOMPARE(en.analog, QStringLiteral("5.4 [V]"));
        QCOMPARE(en.accDistance, QStringLiteral("1.3 [mm]"));
    }

    void temperatureAndSupplyLimits_data() {
        QTest::addColumn<qint32>("raw");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("high");
        QTest::newRow("below the offset") << 20 << "0 [C]" << false;
        QTest::newRow("lowest raw value") << qint32(INT_MIN) << "0 [C]" << false;
        QTest::newRow("70") << 95 << "70 [C]" << false;
        QTest::newRow("71") << 96 << "71 [C]" << true;
    }
    void temperatureAndSupplyLimits() {
        QFETCH(qint32, raw);
        QFETCH(QString, text);
        QFETCH(bool, high);
        const LiveStatusView v = viewOf(withRaw(raw, 24000), 3, QString(), Point);
        QCOMPARE(v.temperature, text);
        QCOMPARE(v.temperatureHigh, high);
    }

    void supplyRange() {
        QVERIFY(viewOf(withRaw(60, 11999), 3, QString(), Point).supplyOutOfRange);
        QVERIFY(!viewOf(withRaw(60, 12000), 3, QString(), Point).supplyOutOfRange);
        QVERIFY(!viewOf(withRaw(60, 36000), 3, QString(), Point).supplyOutOfRange);
        QVERIFY(viewOf(withRaw(60, 36001), 3, QString(), Point).supplyOutOfRange);
    }

    void motorStateTable() {
        QCOMPARE(motorStateLook(0)->textKey, QStringLiteral("IDS_44"));
        QCOMPARE(motorStateLook(0)->shade, Shade::Off);
        QCOMPARE(motorStateLook(1)->shade, Shade::Warning);
        QCOMPARE(motorStateLook(4)->shade, Shade::Info);
        QCOMPARE(motorStateLook(6)->textKey, QStringLiteral("IDS_49"));
        QCOMPARE(motorStateLook(8)->textKey, QStringLiteral("IDS_50"));
        QCOMPARE(motorStateLook(9)->fixedText, QStringLiteral("Prędkosc we. 0-10V"));
        QVERIFY(motorStateLook(9)->textKey.isEmpty());
        QVERIFY(motorStateLook(5)->blinks && motorStateLook(7)->blinks && !motorStateLook(3)->blinks);
        QVERIFY(!motorStateLook(10));
        QVERIFY(!motorStateLook(255));
    }

    // Overload reported again and again, after "positioning" had coloured the field.
    void overloadBlinks() {
        MotorStateBlinker blinker;
        const MotorStateLook overload = *motorStateLook(7);
        Shade shade = blinker.next(*motorStateLook(3), Shade::Normal);
        QCOMPARE(shade, Shade::Active);
        const QList<Shade> expected{Shade::Active, Shade::Alarm,  Shade::Alarm,
                                    Shade::Normal, Shade::Normal, Shade::Alarm};
        for (const Shade want : expected) {
            shade = blinker.next(overload, shade);
            QCOMPARE(shade, want);
        }
    }

    // Position error and overload share the counter; other codes leave it alone.
    void blinkCounterShared() {
        MotorStateBlinker blinker;
        Shade shade = blinker.next(*motorStateLook(5), Shade::Normal);
        QCOMPARE(blinker.counter(), 1);
        shade = blinker.next(*motorStateLook(4), shade);
        QCOMPARE(shade, Shade::Info);
        QCOMPARE(blinker.counter(), 1);
        shade = blinker.next(*motorStateLook(7), shade); // second blinking report: toggles
        QCOMPARE(shade, Shade::Alarm);
        QCOMPARE(blinker.counter(), 0);
    }

    void decodesIdentity() {
        const DeviceIdentity id = decodeIdentity(QByteArray::fromHex("64e17a943f53494d2d370041"));
        QCOMPARE(id.firmware, 1.16f);
        QCOMPARE(id.deviceText, QByteArray("SIM-7"));
        // No terminating zero: the text runs to the end of the report.
        QCOMPARE(decodeIdentity(QByteArray::fromHex("6400000040414243")).deviceText, QByteArray("ABC"));
        QCOMPARE(decodeIdentity(QByteArray::fromHex("64")).deviceText, QByteArray());
    }

    void versionTextAndMinimum() {
        QCOMPARE(versionText(1.16f, Comma), QStringLiteral("1,16"));
        QCOMPARE(versionText(2.0f, Point), QStringLiteral("2"));
        QVERIFY(olderThanMinimum(Model::Kvt318, 1.15f));
        QVERIFY(!olderThanMinimum(Model::Kvt318, 1.16f));
        QVERIFY(olderThanMinimum(Model::Kvt317, 1.10f));
        QVERIFY(!olderThanMinimum(Model::PxaKvt, 1.10f));
        QVERIFY(olderThanMinimum(Model::PxaKvt, 1.09f));
    }

    void featureLevels_data() {
        QTest::addColumn<float>("firmware");
        QTest::addColumn<FeatureLevel>("level");
        QTest::newRow("1.9") << 1.9f << FeatureLevel::Basic;
        QTest::newRow("1.999 shown as 2") << 1.999f << FeatureLevel::AnalogInput;
        QTest::newRow("2") << 2.0f << FeatureLevel::AnalogInput;
        QTest::newRow("2.03") << 2.03f << FeatureLevel::AnalogInput;
        QTest::newRow("2.04") << 2.04f << FeatureLevel::Full;
        QTest::newRow("2.0399 shown as 2.04") << 2.0399f << FeatureLevel::Full;
        QTest::newRow("2.1") << 2.1f << FeatureLevel::Full;
        // Two digits before the mark: newer than 2, not older.
        QTest::newRow("12") << 12.0f << FeatureLevel::Full;
        QTest::newRow("10.5") << 10.5f << FeatureLevel::Full;
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << FeatureLevel::Basic;
    }
    void featureLevels() {
        QFETCH(float, firmware);
        QFETCH(FeatureLevel, level);
        QCOMPARE(featureLevel(firmware), level);
    }
};

QTEST_GUILESS_MAIN(TestControlStatus)
#include "test_control_status.moc"
