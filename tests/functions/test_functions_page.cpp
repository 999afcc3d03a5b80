// The Functions page as a user meets it: the fields' entry rules, the question, and the
// generated program reaching the simulated controller.

#include "RigTest.h"
#include "assist/Colors.h"

#include <QLocale>

using namespace testing;

namespace {

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

    // Out-of-range values are limited and shown so; answering Cancel sends nothing.
    void limitsAndCancel_data() {
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("wait1");
        QTest::addColumn<QString>("wait2");
        QTest::addColumn<QString>("shownSpeed");
        QTest::addColumn<QString>("shownWait1");
        QTest::addColumn<QString>("shownWait2");
        QTest::newRow("2.5 with a point") << "2.5"
                                          << "-10"
                                          << "2000000" << decimal("2.5") << "0"
                                          << "1000000";
        QTest::newRow("2,5 with a comma") << "2,5"
                                          << "0"
                                          << "1000000" << decimal("2.5") << "0"
                                          << "1000000";
        QTest::newRow("5000") << "5000"
                              << "500"
                              << "500"
                              << "1000"
                              << "500"
                              << "500";
        QTest::newRow("0") << "0"
                           << "500"
                           << "500" << decimal("0.001") << "500"
                           << "500";
        QTest::newRow("-3") << "-3"
                            << "500"
                            << "500" << decimal("0.001") << "500"
                            << "500";
    }
    void limitsAndCancel() {
        QFETCH(QString, speed);
        QFETCH(QString, wait1);
        QFETCH(QString, wait2);
        QFETCH(QString, shownSpeed);
        QFETCH(QString, shownWait1);
        QFETCH(QString, shownWait2);
        rig::AppRig rig;
        connectQuietly(rig);
        QVERIFY(rig.showPage(4));
        programWith(rig, speed, wait1, wait2, false);
        QCOMPARE(rig.text("Edit_AF_Speed"), shownSpeed);
        QCOMPARE(rig.text("Edit_AF_Wait1"), shownWait1);
        QCOMPARE(rig.text("Edit_AF_Wait2"), shownWait2);
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
};

int main(int argc, char** argv) {
    return runInBothLocales<FunctionsPageTest>(argc, argv);
}
#include "test_functions_page.moc"
