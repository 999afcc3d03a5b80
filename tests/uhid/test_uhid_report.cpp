// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidraw/ReportDescriptor.h"
#include "uhid/UhidReport.h"

#include <QTest>

using kvt::uhid::ControlLine;

class UhidReportTest : public QObject {
    Q_OBJECT
private slots:
    // The hidraw backend frames reports by the lengths it reads from the descriptor, so the
    // virtual controller's descriptor must give a controller's 65-byte reports with report IDs,
    // and the odd lengths asked for.
    void descriptorGivesTheReportLengths_data() {
        QTest::addColumn<int>("outputBytes");
        QTest::newRow("controller") << 64;
        QTest::newRow("short") << 8;
        QTest::newRow("long, two-byte count") << 300;
    }
    void descriptorGivesTheReportLengths() {
        QFETCH(int, outputBytes);
        const QByteArray descriptor = kvt::uhid::controllerDescriptor(64, outputBytes);
        const auto layout = kvt::parseReportDescriptor(
            std::span(reinterpret_cast<const quint8*>(descriptor.constData()), std::size_t(descriptor.size())));
        QVERIFY(layout);
        QVERIFY(layout->usesReportIds);
        QCOMPARE(layout->inputReportLength, 65);
        QCOMPARE(layout->outputReportLength, outputBytes + 1);
    }

    void controlLines() {
        const auto parsed = [](const char* text) { return kvt::uhid::parseControlLine(QString::fromLatin1(text)); };
        QCOMPARE(parsed("unplug 2")->verb, ControlLine::Verb::Unplug);
        QCOMPARE(parsed("unplug 2")->device, 2);
        QCOMPARE(parsed("  PLUG   1 ")->verb, ControlLine::Verb::Plug);
        QCOMPARE(parsed("mute")->device, 0); // every device
        QCOMPARE(parsed("unmute 1")->verb, ControlLine::Verb::Unmute);
        QCOMPARE(parsed("count 3")->verb, ControlLine::Verb::Count);
        QCOMPARE(parsed("quit")->verb, ControlLine::Verb::Quit);
        for (const char* wrong : {"", "unplug 0", "unplug -1", "unplug x", "plug 1 2", "quit 1", "eject 1"})
            QVERIFY2(!parsed(wrong), wrong);
    }
};

QTEST_GUILESS_MAIN(UhidReportTest)
#include "test_uhid_report.moc"
