// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/Bytes.h"
#include "link/OpCode.h"
#include "sim/ModbusMaster.h"
#include "sim/SimController.h"

#include <QTest>

using namespace kvt;
using namespace kvt::sim;

class TestModbusMaster : public QObject {
    Q_OBJECT
private slots:
    void crcOfKnownFrames() {
        // Frames as printed in the Modbus serial-line guide and by common bus monitors.
        QCOMPARE(withCrc(QByteArray::fromHex("01030000000a")), QByteArray::fromHex("01030000000ac5cd"));
        QCOMPARE(withCrc(QByteArray::fromHex("1103006b0003")), QByteArray::fromHex("1103006b00037687"));
        QCOMPARE(modbusCrc(QByteArray()), quint16(0xFFFF));
    }

    // In frame-preview mode every frame of the bus master reaches the host as a response 87 with
    // the frame's length and bytes, and every frame carries a valid CRC.
    void previewReportsTheMastersFrames() {
        SimController c("KVT318", 2.04f, "SIM");
        c.handle(QByteArray::fromHex("de0205")); // slave address 5
        c.advance(3000);
        QVERIFY(c.takeUnsolicited().isEmpty()); // preview off: the bus is busy, nothing reported

        c.handle(QByteArray::fromHex("d801"));
        c.advance(10 * ModbusMaster::FramePeriodMs);
        const QList<QByteArray> reports = c.takeUnsolicited();
        QCOMPARE(reports.size(), 10);
        QMap<int, int> functionsToOwn;
        int toOthers = 0;
        for (const QByteArray& r : reports) {
            QCOMPARE(bytes::u8(r, 0), quint8(op::ModbusFrame));
            const QByteArray frame = r.mid(2);
            QCOMPARE(int(bytes::u8(r, 1)), int(frame.size()));
            QCOMPARE(modbusCrc(frame), quint16(0)); // a frame followed by its CRC checks to zero
            if (bytes::u8(frame, 0) == 5)
                ++functionsToOwn[bytes::u8(frame, 1)];
            else
                ++toOthers;
        }
        QCOMPARE(functionsToOwn.value(3), 4); // reads of holding registers
        QCOMPARE(functionsToOwn.value(6), 2);
        QCOMPARE(functionsToOwn.value(16), 2);
        QCOMPARE(toOthers, 2);

        c.handle(QByteArray::fromHex("d802")); // register preview: halves only
        c.advance(2000);
        for (const QByteArray& r : c.takeUnsolicited())
            QCOMPARE(bytes::u8(r, 0), quint8(op::ReadRegisters));
    }

    void writtenValuesChangeFromRoundToRound() {
        const QByteArray first = ModbusMaster::frame(1, 1, 0);
        const QByteArray next = ModbusMaster::frame(1, 1, 1);
        QCOMPARE(first.left(4), QByteArray::fromHex("0106003c"));
        QVERIFY(first != next);
        QCOMPARE(ModbusMaster::frame(4, 32, 0).at(0), char(1)); // the next slave after 32 is 1
    }
};

QTEST_GUILESS_MAIN(TestModbusMaster)
#include "test_modbus_master.moc"
