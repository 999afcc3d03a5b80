// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/core/Composers.h"

#include <QTest>
#include <functional>

using namespace kvt::program;

namespace {

using Composer = std::function<void(CommandRecord&)>;

CommandRecord rec(std::initializer_list<int> values) {
    CommandRecord r{};
    int i = 0;
    for (int v : values)
        r[i++] = static_cast<quint8>(v);
    return r;
}

// A record left over from an earlier program: every byte 0xAA.
CommandRecord dirty() {
    CommandRecord r;
    r.fill(0xAA);
    return r;
}

} // namespace

Q_DECLARE_METATYPE(Composer)
Q_DECLARE_METATYPE(CommandRecord)

class TestComposers : public QObject {
    Q_OBJECT
private slots:
    // Each composer applied to a record full of old bytes: the clearing ones leave nothing of
    // it, the others overwrite exactly the code and their operands.
    void bytesOverOldRecord_data() {
        QTest::addColumn<Composer>("compose");
        QTest::addColumn<CommandRecord>("expected");
        constexpr int X = 0xAA;
        QTest::newRow("4 start") << Composer(composeProgramStart) << rec({4, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        QTest::newRow("6 speed +1.0") << Composer([](CommandRecord& r) { composeRunAtSpeed(r, 0x3F800000u); })
                                      << rec({6, 0x00, 0x00, 0x80, 0x3F, 0, 0, 0, 0, 0});
        QTest::newRow("6 speed -2.5") << Composer([](CommandRecord& r) { composeRunAtSpeed(r, 0xC0200000u); })
                                      << rec({6, 0x00, 0x00, 0x20, 0xC0, 0, 0, 0, 0, 0});
        QTest::newRow("6 analog positive")
            << Composer([](CommandRecord& r) { composeRunAtAnalogSpeed(r, false); })
            << rec({6, 0, 0, 0, 0, 0, 0, 0, 0, 254});
        QTest::newRow("6 analog negative")
            << Composer([](CommandRecord& r) { composeRunAtAnalogSpeed(r, true); })
            << rec({6, 0, 0, 0, 0, 0, 0, 0, 0, 253});
        QTest::newRow("10 stop") << Composer(composeStopMotor) << rec({10, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        QTest::newRow("15 label") << Composer([](CommandRecord& r) { composeLabel(r, 0x01020304); })
                                  << rec({15, 4, 3, 2, 1, X, X, X, X, X});
        QTest::newRow("16 jump") << Composer([](CommandRecord& r) { composeJump(r, 7); })
                                 << rec({16, X, X, X, X, X, 7, 0, 0, 0});
        QTest::newRow("17 conditional jump")
            << Composer([](CommandRecord& r) { composeConditionalJump(r, 4, 2, 1); })
            << rec({17, 4, 2, X, X, X, 1, 0, 0, 0});
        QTest::newRow("19 pause 1000000") << Composer([](CommandRecord& r) { composePause(r, 1000000); })
                                          << rec({19, 0x40, 0x42, 0x0F, 0x00, X, X, X, X, X});
        QTest::newRow("19 pause -1") << Composer([](CommandRecord& r) { composePause(r, -1); })
                                     << rec({19, 0xFF, 0xFF, 0xFF, 0xFF, X, X, X, X, X});
        QTest::newRow("21 wait") << Composer([](CommandRecord& r) { composeWaitForInput(r, 3, 1); })
                                 << rec({21, 3, 1, X, X, X, X, X, X, X});
    }
    void bytesOverOldRecord() {
        QFETCH(Composer, compose);
        QFETCH(CommandRecord, expected);
        CommandRecord r = dirty();
        compose(r);
        QCOMPARE(r, expected);
    }
};

QTEST_APPLESS_MAIN(TestComposers)
#include "test_composers.moc"
