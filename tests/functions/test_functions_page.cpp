// SPDX-License-Identifier: GPL-3.0-or-later
// The Functions page as a user meets it: the fields' entry rules, the question, and the
// generated program reaching the simulated controller.

#include "RigTest.h"
#include "assist/Colors.h"
#include "sim/SimBackend.h"
#include "sim/SimController.h"

#include <QLocale>
#include <algorithm>

using namespace testing;

namespace {

// A number the Control page shows (grouped format) as a double.
double shownNumber(const QString& text) {
    QString plain = text;
    plain.remove(QLocale().groupSeparator());
    plain.remove(QLatin1Char(' '));
    plain.replace(QLocale().decimalPoint(), QStringLiteral("."));
    return plain.toDouble();
}

QString decimal(const char* pointText) {
    return QString::fromLatin1(pointText).replace(QLatin1Char('.'), QLocale().decimalPoint());
}

// Fills the three fields and presses "Programuj"; the question is answered `answer`.
void programWith(rig::AppRig& rig, const QString& speed, const QString& wait1, const QString& wait2,
                 bool answer = false) {
    QVERIFY(rig.type("Edit_AF_Speed", speed));
    QVERIFY(rig.type("Edit_AF_Wait1", wait1));
    QVERIFY(rig.type("Edit_AF_Wait2", wait2));
    rig.answer(answer);
    QVERIFY(rig.click("btn_MotionFunctionSet"));
    rig.settle();
}

} // namespace

class FunctionsPageTest : public QObject {
    Q_OBJECT
private slots:
    void pageAtStartUp() {
        rig::AppRig rig;
        QVERIFY(rig.showPage(4));
        QCOMPARE(rig.text("Edit_AF_Speed"), QStringLiteral("1,0"));
        QCOMPARE(rig.text("Edit_AF_Wait1"), QStringLiteral("500"));
        QCOMPARE(rig.text("Edit_AF_Wait2"), QStringLiteral("500"));
        QVERIFY(!rig.checked("Edit_AF_Ain"));
        QCOMPARE(rig.text("btn_MotionFunctionSet"), QStringLiteral("Programuj"));
        QCOMPARE(rig.background("Panel1"), QColor(Qt::white));
        QVERIFY(!rig.widget("Image1")->property("pixmap").isNull());
        // The model profile sets the speed and its unit.
        rig.plugController("PXA-KVT");
        rig.settle();
        QCOMPARE(rig.text("Edit_AF_Speed"), QStringLiteral("100"));
        QCOMPARE(rig.text("Labe_lAutoFunc1_Speed"), QStringLiteral("Prędkosc [mm/s]"));
    }

    // The fields show what was read, in the locale's form and limited; answering Cancel sends
    // nothing.
    void limitsAndCancel() {
        rig::AppRig rig;
        connectQuietly(rig);
        QVERIFY(rig.showPage(4));
        programWith(rig, QStringLiteral("2.5"), QStringLiteral("-10"), QStringLiteral("2000000"), false);
        QCOMPARE(rig.text("Edit_AF_Speed"), decimal("2.5"));
        QCOMPARE(rig.text("Edit_AF_Wait1"), QStringLiteral("0"));
        QCOMPARE(rig.text("Edit_AF_Wait2"), QStringLiteral("1000000"));
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs()[0].kind, QStringLiteral("question"));
        QCOMPARE(rig.dialogs()[0].text,
                 QStringLiteral("Aktualny program w sterowniku zostanie nadpisany. Kontynuowac?"));
        QCOMPARE(rig.dialogs()[0].caption, QStringLiteral("Programowanie"));
        QVERIFY(rig.written().isEmpty());
        QVERIFY(!rig.visible("TFormProgress"));
    }

    // The first field that is not a number is coloured and reported; the fields before it keep
    // their rewritten texts, the ones after it are not touched; the colour goes at the next try.
    void invalidEntries() {
        rig::AppRig rig;
        connectQuietly(rig);
        rig.setLanguage(1);
        QVERIFY(rig.showPage(4));
        programWith(rig, QStringLiteral("5000"), QStringLiteral("1.5"), QStringLiteral("-7"));
        QCOMPARE(rig.text("Edit_AF_Speed"), QStringLiteral("1000"));
        QCOMPARE(rig.text("Edit_AF_Wait1"), QStringLiteral("1.5"));
        QCOMPARE(rig.text("Edit_AF_Wait2"), QStringLiteral("-7"));
        QCOMPARE(rig.background("Edit_AF_Wait1"), kvt::colors::Error);
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs()[0].kind, QStringLiteral("warning"));
        QCOMPARE(rig.dialogs()[0].text, QStringLiteral("Too big/small parameter value"));
        QCOMPARE(rig.dialogs()[0].caption, QStringLiteral("Parameter error"));
        rig.clearDialogs();

        programWith(rig, QStringLiteral("1"), QStringLiteral("100"), QStringLiteral("x"));
        QVERIFY(rig.background("Edit_AF_Wait1") != kvt::colors::Error);
        QCOMPARE(rig.background("Edit_AF_Wait2"), kvt::colors::Error);
        QCOMPARE(rig.text("Edit_AF_Wait1"), QStringLiteral("100"));
        rig.clearDialogs();

        // With the analog speed the disabled speed field is still read and reported.
        QVERIFY(rig.type("Edit_AF_Speed", QStringLiteral("abc")));
        QVERIFY(rig.click("Edit_AF_Ain"));
        QVERIFY(!rig.enabled("Edit_AF_Speed"));
        QVERIFY(rig.type("Edit_AF_Wait2", QStringLiteral("1")));
        QVERIFY(rig.click("btn_MotionFunctionSet"));
        rig.settle();
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs()[0].kind, QStringLiteral("warning"));
        QCOMPARE(rig.background("Edit_AF_Speed"), kvt::colors::Error);
        QCOMPARE(rig.text("Edit_AF_Wait2"), QStringLiteral("1")); // not reached
        QVERIFY(rig.written().isEmpty());
        QVERIFY(rig.click("Edit_AF_Ain"));
        QVERIFY(rig.enabled("Edit_AF_Speed"));
    }

    // "Programuj" sends the generated program on the controller's requests; "Uruchom" on the
    // Program page starts it and the Control page shows the drive going back and forth between
    // the two end switches, standing at each for its wait.
    void generatedProgramRunsBetweenTheSwitches() {
        rig::AppRig rig;
        const int id = connectQuietly(rig);
        kvt::sim::SimController* controller = rig.sim().controller(id);
        controller->setEndSensors({true, -0.5, 0.5});
        QVERIFY(rig.showPage(4));
        programWith(rig, QStringLiteral("2"), QStringLiteral("300"), QStringLiteral("600"), true);

        const QList<QByteArray> sent = rig.written();
        QCOMPARE(sent.size(), 12);
        QCOMPARE(command(sent[0]), bytes({229, 0, 11}));
        for (int i = 0; i < 11; ++i)
            QCOMPARE(sent[1 + i].mid(1, 3), bytes({230, 0, i}));
        QCOMPARE(sent[3].mid(4, 10), bytes({6, 0, 0, 0, 0x40, 0, 0, 0, 0, 0})); // +2.0
        QCOMPARE(sent[11].mid(4, 10), bytes({16, 0, 0, 0, 0, 0, 1, 0, 0, 0}));  // jump to label 1
        QCOMPARE(controller->programLength(), 11);
        QCOMPARE(controller->programRecord(6), bytes({6, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0}));
        QVERIFY(rig.visible("TFormProgress"));
        QCOMPARE(rig.text("Message"), QStringLiteral("Program przesłany."));
        QVERIFY(rig.click("BtnOK"));
        rig.settle();

        QVERIFY(rig.showPage(3));
        QVERIFY(rig.click("btn_ProgStart"));
        rig.settle();
        QVERIFY(rig.showPage(0));
        double lowest = 0, highest = 0;
        bool home1 = false, home2 = false, stood = false;
        for (int t = 0; t < 40; ++t) {
            rig.settle(100);
            const double position = shownNumber(rig.text("Text_Xact"));
            lowest = std::min(lowest, position);
            highest = std::max(highest, position);
            home1 = home1 || rig.text("Edit_Home1") == QLatin1String("On");
            home2 = home2 || rig.text("Edit_Home2") == QLatin1String("On");
            stood = stood || (highest > 0.4 && shownNumber(rig.text("Text_Vact")) == 0.0);
        }
        QVERIFY2(highest >= 0.5 && highest < 0.7, qPrintable(QString::number(highest)));
        QVERIFY2(lowest <= -0.5 && lowest > -0.7, qPrintable(QString::number(lowest)));
        QVERIFY(home1 && home2 && stood);
        QCOMPARE(controller->programRunState(), kvt::sim::ProgramMemory::Running);
    }
};

int main(int argc, char** argv) {
    return runInBothLocales<FunctionsPageTest>(argc, argv);
}
#include "test_functions_page.moc"
