// SPDX-License-Identifier: GPL-3.0-or-later
// The encoder test against the simulated controller: opened from the Configuration page, START,
// the running count and the verdict for a correct encoder and for each fault.

#include "RigTest.h"
#include "assist/Colors.h"
#include "sim/EncoderTest.h"
#include "sim/SimBackend.h"
#include "sim/SimController.h"

using namespace testing;
using kvt::sim::EncoderTest;

namespace {

// Stores the encoder settings shown on the Configuration page in the controller.
void saveConfiguration(rig::AppRig& rig) {
    QVERIFY(rig.click("btn_SaveConfigSettings"));
    rig.settle(100);
    rig.clearDialogs();
}

// Opens the window, presses START and lets the revolution finish.
void runTest(rig::AppRig& rig, const QString& started = QStringLiteral("Test rozpoczęty")) {
    QVERIFY(rig.click("btn_EncoderTest"));
    rig.settle();
    QVERIFY(rig.visible("TForm3"));
    rig.clearWritten();
    QVERIFY(rig.click("TForm3.btn_EncoderTest"));
    rig.settle();
    QCOMPARE(codes(rig.written()), QList<int>{219});
    QCOMPARE(rig.text("Memo_Enc"), started);
    rig.settle(1200);
}

void closeWindow(rig::AppRig& rig) {
    QVERIFY(rig.click("TForm3.JvXPButton1"));
    rig.settle();
}

} // namespace

class EncoderTestRigTest : public QObject {
    Q_OBJECT
private slots:
    void incrementalEncoder() {
        rig::AppRig rig;
        const int id = connectQuietly(rig);
        kvt::sim::SimController* controller = rig.sim().controller(id);
        QVERIFY(!rig.enabled("btn_EncoderTest")); // no encoder configured
        QVERIFY(rig.click("RadioButton_EncINKR"));
        QVERIFY(rig.type("Edit_EncResol", QStringLiteral("1000")));
        saveConfiguration(rig);
        QCOMPARE(controller->config().encoderMode, quint8(1));

        runTest(rig);
        QCOMPARE(rig.text("Memo_Enc"),
                 QStringLiteral("Enkoder podłaczony poprawnie.\nOdczytana rozdzielczosc enkodera: 1000"));
        QCOMPARE(rig.background("Memo_Enc"), kvt::colors::Connected);
        QCOMPARE(rig.text("Edit_EncoderVal"), QStringLiteral("900")); // the last running count
        closeWindow(rig);

        // Every showing writes the instructions again; the verdict's colour stays until START.
        QVERIFY(rig.click("btn_EncoderTest"));
        rig.settle();
        QCOMPARE(rig.text("Memo_Enc"),
                 QStringLiteral("Funkcja testowania pozwala okreslic poprawnosc podłączenia "
                                "enkodera\nEnkoder powinien byc sprzegnięty ze silnikiem "
                                "krokowym.\n \nPo wcisnieciu przycisku START silnik krokowy "
                                "wykona pelen obrót."));
        QCOMPARE(rig.background("Memo_Enc"), kvt::colors::Connected);
        QVERIFY(!rig.click("btn_SaveConfigSettings")); // the window is modal
        closeWindow(rig);

        // A resolution field without an integer: the count is shown with the warning, on orange.
        QVERIFY(rig.type("Edit_EncResol", QStringLiteral("1000x")));
        runTest(rig);
        QCOMPARE(rig.text("Memo_Enc"),
                 QStringLiteral("Enkoder podłaczony poprawnie.\nOdczytana rozdzielczosc "
                                "enkodera: 1000\nUWAGA: Sprawdz czy poprawnie wprowadzono "
                                "rozdzielczosc enkodera"));
        QCOMPARE(rig.background("Memo_Enc"), kvt::colors::Warning);
        closeWindow(rig);
        QVERIFY(rig.type("Edit_EncResol", QStringLiteral("1000")));

        // The page's resolution is read when the result arrives: 1024 typed, not saved, matches
        // an encoder other than the one configured.
        controller->setEncoderResolution(1024);
        QVERIFY(rig.type("Edit_EncResol", QStringLiteral("1024")));
        runTest(rig);
        QCOMPARE(rig.background("Memo_Enc"), kvt::colors::Connected);
        closeWindow(rig);
        controller->setEncoderResolution(0);

        controller->setEncoderWiring(EncoderTest::NoSignal);
        rig.setLanguage(1);
        runTest(rig, QStringLiteral("Test started"));
        QCOMPARE(rig.text("TForm3"), QStringLiteral("Encoder test"));
        QCOMPARE(rig.text("Memo_Enc"), QStringLiteral("No signal from the encoder\nValidate the connection"));
        QCOMPARE(rig.background("Memo_Enc"), kvt::colors::Failed);
        // A verdict the window does not know changes nothing.
        rig.inject(QByteArray::fromHex("5be803000003"));
        rig.settle();
        QCOMPARE(rig.text("Memo_Enc"), QStringLiteral("No signal from the encoder\nValidate the connection"));
        QCOMPARE(rig.background("Memo_Enc"), kvt::colors::Failed);
    }

    void absoluteEncoder() {
        rig::AppRig rig;
        connectQuietly(rig);
        QVERIFY(rig.click("RadioButton_EncABS"));
        QVERIFY(rig.click("CheckBox_SSI_12bit"));
        saveConfiguration(rig);
        runTest(rig);
        QCOMPARE(
            rig.text("Memo_Enc"),
            QStringLiteral("Enkoder podłaczony poprawnie.\nOdczytana rozdzielczosc enkodera: 4096 (12 bit)"));
        QCOMPARE(rig.background("Memo_Enc"), kvt::colors::Connected);
        closeWindow(rig);
        // 10 bit selected on the page, 12 bit in the controller.
        QVERIFY(rig.click("CheckBox_SSI_10bit"));
        runTest(rig);
        QCOMPARE(rig.text("Memo_Enc"),
                 QStringLiteral("Odczytana rozdzielczosc enkodera: 4096\nUWAGA: Sprawdz czy "
                                "poprawnie wprowadzono rozdzielczosc enkodera"));
        QCOMPARE(rig.background("Memo_Enc"), kvt::colors::Warning);
    }
};

int main(int argc, char** argv) {
    return runInBothLocales<EncoderTestRigTest>(argc, argv);
}
#include "test_encoder_test_rig.moc"
