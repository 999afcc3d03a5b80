// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/core/FramePreview.h"
#include "modbus/core/UserRegisters.h"

#include <QLocale>
#include <QTest>

using namespace kvt;
using namespace kvt::modbus;

namespace {

QByteArray report(const char* hex, int size = 65) {
    QByteArray b = QByteArray::fromHex(hex);
    if (b.size() < size)
        b.resize(size, '\0');
    return b;
}

} // namespace

class TestModbusPreview : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void frameLogLines_data() {
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<int>("ownAddress");
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QString>("key");
        // Read 10 holding registers from 50, slave 1, with its CRC.
        QTest::newRow("read registers")
            << report("570801030032000a6402") << 1 << "01  03  00  32  00  0A  64  02  "
            << "IDS_97";
        QTest::newRow("other slave") << report("570801030032000a6402") << 2
                                     << "01  03  00  32  00  0A  64  02  "
                                     << "IDS_94";
        QTest::newRow("broadcast") << report("570400061234") << 0 << "00  06  12  34  "
                                   << "IDS_94";
        QTest::newRow("read coils") << report("57020101") << 1 << "01  01  "
                                    << "IDS_95";
        QTest::newRow("read inputs") << report("57020102") << 1 << "01  02  "
                                     << "IDS_96";
        QTest::newRow("write coil") << report("57020105") << 1 << "01  05  "
                                    << "IDS_98";
        QTest::newRow("write register") << report("57020106") << 1 << "01  06  "
                                        << "IDS_99";
        QTest::newRow("write registers") << report("57020110") << 1 << "01  10  "
                                         << "IDS_100";
        QTest::newRow("function 4") << report("57020104") << 1 << "01  04  "
                                    << "";
        QTest::newRow("function 15") << report("5702010f") << 1 << "01  0F  "
                                     << "";
        // No frame bytes: the address and function are still read from their places.
        QTest::newRow("n = 0") << report("57000103") << 1 << ""
                               << "IDS_97";
        QTest::newRow("n = 0, other") << report("57000703") << 1 << ""
                                      << "IDS_94";
        QTest::newRow("negative n") << report("57ff0103") << 1 << ""
                                    << "IDS_97";
        // A count beyond the report reads only the bytes present.
        QTest::newRow("cut") << report("577f01abcd", 5) << 1 << "01  AB  CD  "
                             << "";
        QTest::newRow("address read signed") << report("5702ff03") << 255 << "FF  03  "
                                             << "IDS_94";
    }
    void frameLogLines() {
        QFETCH(QByteArray, response);
        QFETCH(int, ownAddress);
        QFETCH(QString, hex);
        QFETCH(QString, key);
        const FrameLogEntry entry = describeFrame(ByteReader(response), ownAddress);
        QCOMPARE(entry.hex, hex);
        QCOMPARE(entry.textKey, key);
    }

    void registerPairs() {
        // Register 50 = 0000h, register 51 = 3F80h: V = 3F800000h.
        const quint32 one = readRegisterPair(ByteReader(QByteArray::fromHex("00003f80")), 0);
        QCOMPARE(one, 0x3F800000u);
        QCOMPARE(registerText(one, RegisterView::Real), QString("1"));
        QCOMPARE(registerText(one, RegisterView::Dword), QString("1065353216"));

        // Register 50 = 3F80h, register 51 = 0: V = 3F80h, a tiny single.
        const quint32 small = readRegisterPair(ByteReader(QByteArray::fromHex("3f800000")), 0);
        QCOMPARE(registerText(small, RegisterView::Dword), QString("16256"));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(registerText(small, RegisterView::Real), QString("2.2779508E-41"));
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        QCOMPARE(registerText(small, RegisterView::Real), QString("2,2779508E-41"));
        QCOMPARE(realText(0xC0200000u), QString("-2,5"));

        const quint32 minusTwo = readRegisterPair(ByteReader(QByteArray::fromHex("fffeffff")), 0);
        QCOMPARE(registerText(minusTwo, RegisterView::Dword), QString("-2"));

        const auto wire = registerPairBytes(0xC0200000u);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(wire.data()), 4), QByteArray::fromHex("0000c020"));
    }

    void registerHalves() {
        QByteArray lower = report("6a00");
        lower.replace(2, 4, QByteArray::fromHex("00003f80"));  // 50-51
        lower.replace(58, 4, QByteArray::fromHex("fffeffff")); // 78-79
        RegisterHalf half = decodeRegisterHalf(ByteReader(lower));
        QVERIFY(!half.upper);
        QCOMPARE(half.firstRegister, 50);
        QCOMPARE(half.values.size(), 15);
        QCOMPARE(half.values.first(), 0x3F800000u);
        QCOMPARE(half.values.last(), 0xFFFFFFFEu);

        QByteArray upper = report("6a01");
        upper.replace(38, 4, QByteArray::fromHex("00010000")); // 98-99
        half = decodeRegisterHalf(ByteReader(upper));
        QVERIFY(half.upper);
        QCOMPARE(half.firstRegister, 80);
        QCOMPARE(half.values.size(), 10);
        QCOMPARE(half.values.last(), 1u);
        QVERIFY(decodeRegisterHalf(ByteReader(report("6a80"))).upper); // any non-zero byte 1
    }

    void gridLayout() {
        QCOMPARE(pairLabel(1, 1), QString("50-51"));
        QCOMPARE(pairLabel(3, 2), QString("64-65"));
        QCOMPARE(pairLabel(5, 5), QString("98-99"));
        for (int n = 50; n <= 98; n += 2) {
            const GridCell cell = gridCellOfPair(n);
            QCOMPARE(pairOfGridCell(cell.column, cell.row), n);
        }
        QCOMPARE(gridCellOfPair(80).row, 4);
        QCOMPARE(rowHeader(1), QString("50-59"));
        QCOMPARE(rowHeader(5), QString("90-99"));
        QCOMPARE(columnHeader(1), QString("+ 0-1"));
        QCOMPARE(columnHeader(5), QString("+ 8-9"));
    }

    void commands() {
        QCOMPARE(encodePreviewMode(PreviewMode::Off), QByteArray::fromHex("d800"));
        QCOMPARE(encodePreviewMode(PreviewMode::Frames), QByteArray::fromHex("d801"));
        QCOMPARE(encodePreviewMode(PreviewMode::Registers), QByteArray::fromHex("d802"));
        QCOMPARE(encodeReadRegisters(), QByteArray::fromHex("6a"));
    }
};

QTEST_GUILESS_MAIN(TestModbusPreview)
#include "test_modbus_preview.moc"
