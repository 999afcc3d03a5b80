// SPDX-License-Identifier: GPL-3.0-or-later
// Framing, poll, dispatch and acknowledgements of the link, and the one float parameter command.

#include "RigTest.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "assist/Colors.h"
#include "link/Transport.h"
#include "shell/ParameterEntry.h"

#include <QLineEdit>
#include <cstring>

using namespace testing;

namespace {
QByteArray floatBytes(float value) {
    QByteArray b(4, '\0');
    std::memcpy(b.data(), &value, 4);
    return b;
}
} // namespace

class TransportTest : public QObject {
    Q_OBJECT

private slots:
    void commandIsFramedWithReportIdAndZeros() {
        rig::AppRig rig;
        // A device that claims to be a controller but has short output reports.
        const int id = rig.plugDevice("KVT318", 0x1234, 0x5678, true, 65, 20);
        rig.settle();
        const QList<QByteArray> sent = rig.writtenTo(id);
        QVERIFY(!sent.isEmpty());
        QByteArray expected(20, '\0');
        expected[0] = 1;
        expected[1] = char(100);
        QCOMPARE(sent[0], expected);
        // A command longer than the report is cut to its length.
        QCOMPARE(kvt::frameOutputReport(QByteArray(63, 'x'), 20).size(), 20);
        QCOMPARE(kvt::frameOutputReport(bytes({7}), 65),
                 QByteArray(1, 1) + bytes({7}) + QByteArray(63, '\0'));
    }

    void setParamAcceptsCommaAndPointAndClamps_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<float>("sent");
        QTest::addColumn<QString>("shown");
        const QString decimal = QLocale().decimalPoint();
        QTest::newRow("comma") << "12,5" << 12.5f << "12" + decimal + "5";
        QTest::newRow("point") << "12.5" << 12.5f << "12" + decimal + "5";
        QTest::newRow("above") << "50000" << 30000.0f << "30000";
        QTest::newRow("below") << "-1e9" << -30000.0f << "-30000";
        QTest::newRow("exponent") << "1,5e2" << 150.0f << "150";
    }
    void setParamAcceptsCommaAndPointAndClamps() {
        QFETCH(QString, typed);
        QFETCH(float, sent);
        QFETCH(QString, shown);
        rig::AppRig rig;
        connectQuietly(rig);
        QLineEdit field(typed);
        QVERIFY(kvt::sendParameter(rig.program().mainWindow->context(), &field, 162, -30000.0f, 30000.0f));
        rig.settle();
        QCOMPARE(field.text(), shown);
        QCOMPARE(rig.written().size(), 1);
        QCOMPARE(command(rig.written()[0]).leftJustified(5, '\0'),
                 QByteArray(1, char(162)) + floatBytes(sent));
    }

    void setParamRejectsTextThatIsNoNumber() {
        rig::AppRig rig;
        connectQuietly(rig);
        QLineEdit field(QStringLiteral("abc"));
        QVERIFY(!kvt::sendParameter(rig.program().mainWindow->context(), &field, 131, -1.0f, 1.0f));
        rig.settle();
        QCOMPARE(kvt::background(&field), kvt::colors::Error);
        QCOMPARE(field.text(), QStringLiteral("abc"));
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs()[0].kind, QStringLiteral("warning"));
        QCOMPARE(rig.dialogs()[0].text, QStringLiteral("Zbyt duża/mała wartosc parametru"));
        QCOMPARE(rig.dialogs()[0].caption, QStringLiteral("Błąd parametru"));
        QVERIFY(rig.written().isEmpty());
        // The next read gives the field its normal colour back.
        field.setText(QStringLiteral("0,5"));
        QVERIFY(kvt::sendParameter(rig.program().mainWindow->context(), &field, 131, -1.0f, 1.0f));
        QVERIFY(kvt::background(&field) != kvt::colors::Error);
    }

    void setParamWithoutConnectionRewritesButSendsNothing() {
        rig::AppRig rig;
        QLineEdit field(QStringLiteral("99999"));
        QVERIFY(kvt::sendParameter(rig.program().mainWindow->context(), &field, 132, -100.0f, 100.0f));
        rig.settle();
        QCOMPARE(field.text(), QStringLiteral("100"));
        QVERIFY(rig.written().isEmpty());
    }

    void unknownCodesChangeNothing() {
        rig::AppRig rig;
        rig.plugController("KVT318");
        rig.settle();
        const QString before = rig.statusPanel(0);
        for (int code : {0, 1, 50, 200, 255})
            rig.inject(bytes({code, 1, 2, 3}));
        rig.settle();
        QCOMPARE(rig.statusPanel(0), before);
        QVERIFY(rig.dialogs().isEmpty());
    }

    // The 236 box of controller A is still open when A is unplugged and B connects: closing it
    // must not send A's follow-up requests to B. With A still there, they go out.
    void boxFollowUpsGoOnlyToTheControllerThatCausedThem() {
        rig::AppRig rig;
        rig.holdDialogs(true);
        const int a = connectQuietly(rig);
        rig.inject(bytes({236}));
        rig.settle();
        QCOMPARE(rig.dialogs().size(), 1);
        rig.unplug(a);
        const int b = rig.plugController("KVT317");
        rig.settle();
        rig.showPage(1);
        rig.settle();
        rig.clearWritten();
        QVERIFY(rig.closeDialog(true));
        rig.settle();
        QVERIFY(rig.writtenTo(b).isEmpty());

        rig.inject(bytes({236}), b);
        rig.settle();
        rig.clearWritten();
        QVERIFY(rig.closeDialog(true));
        rig.settle();
        QCOMPARE(codes(rig.writtenTo(b)), (QList<int>{100, 99}));
    }

    void acknowledgementsShowTheirTexts_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("caption");
        QTest::newRow("151") << 151 << "Napęd włączony"
                             << ""
                             << "";
        QTest::newRow("153") << 153 << "Zatrzymany"
                             << ""
                             << "";
        QTest::newRow("214") << 214 << "Konfiguracja kontroli ruchu ustawiona"
                             << "Konfiguracja kontroli ruchu ustawiona"
                             << "Ustawienia";
        QTest::newRow("222") << 222 << "Parametry komunikacyjne zapisane"
                             << "Parametry transmisji zapisane"
                             << "Ustawienia";
        QTest::newRow("223") << 223 << "Parametry domyslne zapisane"
                             << "Parametry domyslne ruchu zapisane"
                             << "Ustawienia";
        QTest::newRow("234") << 234 << "Ustawiono rejestr użytkownika"
                             << ""
                             << "";
        QTest::newRow("235") << 235 << "Zapisano rejestry użytkownika"
                             << "Rejestry użytkownika zostały zapisane do pamięci nieulotnej sterownika."
                             << "Rejestry użytkownika";
    }
    void acknowledgementsShowTheirTexts() {
        QFETCH(int, code);
        QFETCH(QString, status);
        QFETCH(QString, box);
        QFETCH(QString, caption);
        rig::AppRig rig;
        rig.plugController("KVT318");
        rig.settle();
        rig.inject(bytes({code}));
        rig.settle();
        QCOMPARE(rig.statusPanel(0), status);
        if (box.isEmpty()) {
            QVERIFY(rig.dialogs().isEmpty());
        } else {
            QCOMPARE(rig.dialogs().size(), 1);
            QCOMPARE(rig.dialogs()[0].kind, QStringLiteral("information"));
            QCOMPARE(rig.dialogs()[0].text, box);
            QCOMPARE(rig.dialogs()[0].caption, caption);
        }
    }

    void savedSettingsAreReadAgainAfterTheBoxCloses() {
        rig::AppRig rig;
        connectQuietly(rig);
        rig.holdDialogs(true);
        rig.inject(bytes({236}));
        rig.settle();
        QCOMPARE(rig.statusPanel(0), QStringLiteral("Zapisano ustawienia sterownika"));
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs()[0].caption, QStringLiteral("Konfiguracja"));
        QVERIFY(rig.written().isEmpty()); // nothing before the box is closed
        QVERIFY(rig.closeDialog(true));
        rig.settle();
        QCOMPARE(codes(rig.written()), (QList<int>{100, 99}));

        rig.clearWritten();
        rig.inject(bytes({221}));
        rig.settle();
        QCOMPARE(rig.statusPanel(0), QStringLiteral("Nastawy fabryczne przywrócone"));
        QVERIFY(rig.written().isEmpty());
        QVERIFY(rig.closeDialog(true));
        rig.settle();
        QCOMPARE(codes(rig.written()), (QList<int>{99}));
    }

    void acknowledgementTextsFollowTheLanguage() {
        rig::AppRig rig;
        rig.plugController("KVT318");
        rig.settle();
        rig.setLanguage(1);
        rig.inject(bytes({224}));
        rig.settle();
        QCOMPARE(rig.statusPanel(0), QStringLiteral("Motion parameters set"));
        QCOMPARE(rig.dialogs().value(0).caption, QStringLiteral("Settings"));
    }

    void pollFollowsThePage() {
        rig::AppRig rig;
        rig.plugController("KVT318");
        rig.settle();
        QLineEdit* rx = qobject_cast<QLineEdit*>(rig.widget("EditRx"));
        rig.showPage(2); // RS485: nothing polled, the receive indicator still goes off
        kvt::setBackground(rx, kvt::colors::ModbusRx);
        rig.settle();
        rig.clearWritten();
        rig.settle(450);
        QVERIFY(rig.written().isEmpty());
        QVERIFY(rig.background("EditRx") != kvt::colors::ModbusRx);
        rig.showPage(3); // Program page: 31
        rig.settle(450);
        QVERIFY(codes(rig.written()).contains(31));
        QVERIFY(!codes(rig.written()).contains(97));
    }
};

int main(int argc, char** argv) {
    return runInBothLocales<TransportTest>(argc, argv);
}

#include "test_transport.moc"
