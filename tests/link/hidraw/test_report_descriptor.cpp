// SPDX-License-Identifier: GPL-3.0-or-later
#include "HexData.h"
#include "link/hidraw/ReportDescriptor.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace kvt;

namespace {

const char* const ValidFiles[] = {"vendor_64.hex", "boot_keyboard.hex", "keyboard_mouse_combo.hex",
                                  "push_pop.hex"};

std::optional<ReportLayout> parseHex(const QByteArray& hex) {
    return parseReportDescriptor(bytesOf(QByteArray::fromHex(hex)));
}

// A parse result that is either a failure or plausible.
bool sane(const std::optional<ReportLayout>& layout) {
    return !layout || (layout->inputReportLength >= 0 && layout->inputReportLength <= 65536 &&
                       layout->outputReportLength >= 0 && layout->outputReportLength <= 65536);
}

} // namespace

class TestReportDescriptor : public QObject {
    Q_OBJECT
private slots:
    void deviceDescriptors_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("usesReportIds");
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("output");
        QTest::newRow("vendor 64/64") << "vendor_64.hex" << false << 65 << 65;
        QTest::newRow("boot keyboard") << "boot_keyboard.hex" << false << 9 << 2;
        // Largest report per ID: keyboard input (8 bytes), vendor output (6 bytes).
        QTest::newRow("keyboard/mouse combo") << "keyboard_mouse_combo.hex" << true << 9 << 7;
        // Pop restores report ID 1 and 8-bit fields after the nested 16-bit report 2.
        QTest::newRow("push/pop") << "push_pop.hex" << true << 7 << 3;
    }
    void deviceDescriptors() {
        QFETCH(QString, file);
        QFETCH(bool, usesReportIds);
        QFETCH(int, input);
        QFETCH(int, output);
        const QByteArray data = loadHexData(file);
        QVERIFY(!data.isEmpty());
        const std::optional<ReportLayout> layout = parseReportDescriptor(bytesOf(data));
        QVERIFY(layout.has_value());
        QCOMPARE(layout->usesReportIds, usesReportIds);
        QCOMPARE(layout->inputReportLength, input);
        QCOMPARE(layout->outputReportLength, output);
    }

    void itemEncodings_data() {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("output");
        // Report ID 1: three 3-bit fields, summed before rounding (9 bits = 2 bytes); report 2: 16 bits.
        QTest::newRow("bits summed per report")
            << QByteArray("a101 8501 7503 9501 8102 8102 8102 8502 7510 8102 c0") << 3 << 0;
        // Report Count 256 given with four data bytes, Report Size with two.
        QTest::newRow("wide item data") << QByteArray("a101 760800 9700010000 8102 9102 c0") << 257 << 257;
        // A long item in the middle is skipped as a whole, its data included.
        QTest::newRow("long item skipped") << QByteArray("a101 7508 9504 fe0381 8102c0 8102 c0") << 5 << 0;
        // Local items and Feature reports do not count; a device may have only Feature reports.
        QTest::newRow("feature only") << QByteArray("a101 7508 9510 b102 c0") << 0 << 0;
        QTest::newRow("feature ignored") << QByteArray("a101 0901 7508 9510 b102 9502 8102 c0") << 3 << 0;
    }
    void itemEncodings() {
        QFETCH(QByteArray, hex);
        QFETCH(int, input);
        QFETCH(int, output);
        const std::optional<ReportLayout> layout = parseHex(hex);
        QVERIFY(layout.has_value());
        QCOMPARE(layout->inputReportLength, input);
        QCOMPARE(layout->outputReportLength, output);
    }

    void malformed_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no report") << QByteArray::fromHex("0600ff 0901 a101 c0");
        QTest::newRow("truncated file") << loadHexData("truncated.hex");
        QTest::newRow("garbage file") << loadHexData("garbage.hex");
        QTest::newRow("pop without push") << QByteArray::fromHex("a101 a4 b4 b4 c0");
        QTest::newRow("report ID 0") << QByteArray::fromHex("a101 8500 7508 9501 8102 c0");
        QTest::newRow("report ID above 255") << QByteArray::fromHex("a101 860001 7508 9501 8102 c0");
        QTest::newRow("end collection first") << QByteArray::fromHex("c0 a101 c0");
        QTest::newRow("collection left open") << QByteArray::fromHex("a101 7508 9501 8102");
        QTest::newRow("long item past end") << QByteArray::fromHex("a101 fe1001 0102 c0");
        QTest::newRow("four-byte item cut") << QByteArray::fromHex("a101 97ffff");
        QTest::newRow("oversized report") << QByteArray::fromHex("a101 77ffffffff 97ffffffff 8102 c0");
        QTest::newRow("oversized in sum")
            << QByteArray::fromHex("a101 7508 96ffff 8102 8102 c0"); // two items of 65535 bytes
    }
    void malformed() {
        QFETCH(QByteArray, data);
        QVERIFY(!parseReportDescriptor(bytesOf(data)).has_value());
    }

    // Cutting a descriptor leaves an item or a collection unfinished, unless the cut falls right after
    // a top-level collection: what comes before it is then a complete descriptor of its own.
    void properPrefixes() {
        for (const char* file : {"vendor_64.hex", "boot_keyboard.hex", "push_pop.hex"}) {
            const QByteArray data = loadHexData(QString::fromLatin1(file));
            QVERIFY(!data.isEmpty());
            for (qsizetype length = 0; length < data.size(); ++length)
                QVERIFY2(!parseReportDescriptor(bytesOf(data.left(length))).has_value(),
                         qPrintable(QStringLiteral("%1 cut at %2").arg(QLatin1String(file)).arg(length)));
        }
        const QByteArray combo = loadHexData("keyboard_mouse_combo.hex");
        QList<qsizetype> accepted;
        for (qsizetype length = 0; length < combo.size(); ++length) {
            if (parseReportDescriptor(bytesOf(combo.left(length))))
                accepted.append(length);
        }
        // Ends of the keyboard, mouse and consumer-control collections, and after the Usage Page and
        // Usage items that precede the next collection.
        QCOMPARE(accepted, (QList<qsizetype>{67, 69, 71, 133, 135, 137, 158, 161, 163}));
        QCOMPARE(parseReportDescriptor(bytesOf(combo.left(67))), std::optional(ReportLayout{true, 9, 2}));
    }

    // Random bytes and damaged real descriptors: any result, but no read past the end.
    void randomInputDoesNotCrash() {
        QRandomGenerator random(20240611);
        for (int round = 0; round < 20000; ++round) {
            QByteArray data(random.bounded(0, 80), '\0');
            for (char& byte : data)
                byte = static_cast<char>(random.bounded(256));
            const std::optional<ReportLayout> layout = parseReportDescriptor(bytesOf(data));
            QVERIFY(sane(layout));
        }
        for (const char* file : ValidFiles) {
            const QByteArray original = loadHexData(QString::fromLatin1(file));
            for (int round = 0; round < 5000; ++round) {
                QByteArray data = original;
                const int flips = random.bounded(1, 4);
                for (int i = 0; i < flips; ++i)
                    data[random.bounded(static_cast<int>(data.size()))] =
                        static_cast<char>(random.bounded(256));
                // Copy into an exactly sized buffer so an over-read is caught by the sanitizer.
                const std::vector<quint8> exact(data.begin(), data.end());
                QVERIFY(sane(parseReportDescriptor(exact)));
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestReportDescriptor)
#include "test_report_descriptor.moc"
