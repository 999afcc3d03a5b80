// SPDX-License-Identifier: GPL-3.0-or-later
// The rig's own promises: how names are looked up, when an action is refused, and what the
// device functions record. Outside acceptance suites rely on them.

#include "RigTest.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

using namespace testing;

class RigTest : public QObject {
    Q_OBJECT

private slots:
    void namesAreLookedUpPerWindow() {
        rig::AppRig rig;
        QCOMPARE(rig.text("Label1"), QStringLiteral("Status:")); // the main window first
        QVERIFY(rig.text("TForm2.Label1") != rig.text("Label1"));
        QCOMPARE(rig.widget("TForm3.btn_EncoderTest")->window(), rig.widget("TForm3"));
        QCOMPARE(rig.text("TForm3"), QStringLiteral("Konfiguracja - testowanie enkodera"));
        QCOMPARE(rig.text("TFormProgress"), QStringLiteral("Postęp"));
        QVERIFY(qobject_cast<QAction*>(rig.object("Oprogramie1")));
    }

    void actionsAreRefusedOnHiddenDisabledOrBlockedControls() {
        rig::AppRig rig;
        connectQuietly(rig);
        auto* button = qobject_cast<QPushButton*>(rig.widget("btn_Reconnect"));
        QVERIFY(rig.click("btn_Reconnect")); // on a page that is not shown: still reached
        button->setEnabled(false);
        QVERIFY(!rig.click("btn_Reconnect"));
        QVERIFY(!rig.enabled("btn_Reconnect"));
        button->setEnabled(true);
        rig.widget("TabSheet3")->setEnabled(false); // a parent's setting counts
        QVERIFY(!rig.click("btn_Reconnect"));
        QVERIFY(rig.enabled("btn_Reconnect")); // its own setting is unchanged
        rig.widget("TabSheet3")->setEnabled(true);
        button->hide();
        QVERIFY(!rig.click("btn_Reconnect"));
        QVERIFY(!rig.visible("btn_Reconnect"));
        button->show();
        QVERIFY(!rig.click("TForm2.btn_Close")); // its window is not shown
        rig.holdDialogs(true);
        rig.inject(bytes({224}));
        rig.settle();
        QVERIFY(!rig.click("btn_Reconnect")); // an open box blocks the window
        QVERIFY(rig.closeDialog(true));
        QVERIFY(!rig.closeDialog(true));
        rig.settle();
        rig.clearWritten();
        QVERIFY(rig.click("btn_Reconnect"));
        rig.settle();
        QCOMPARE(codes(rig.written()), (QList<int>{100, 99}));
    }

    void choosingIsAUserPick() {
        rig::AppRig rig;
        auto* combo = qobject_cast<QComboBox*>(rig.widget("siLangCombo1"));
        QSignalSpy changed(combo, &QComboBox::currentIndexChanged);
        QSignalSpy activated(combo, &QComboBox::activated);
        QVERIFY(rig.choose("siLangCombo1", 1));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(activated.size(), 1);
        QCOMPARE(rig.index("siLangCombo1"), 1);
        QCOMPARE(rig.text("siLangCombo1"), QStringLiteral("English"));
        QVERIFY(rig.openList("siLangCombo1"));
        QVERIFY(!combo->view()->isVisible());
        QVERIFY(rig.showPage(2));
        QCOMPARE(rig.page(), 2);
        QVERIFY(!rig.selectCell("StringGrid1", 2, 3)); // the register view is hidden at first
        QVERIFY(rig.click("btn_DispUserRegi"));
        QVERIFY(rig.selectCell("StringGrid1", 2, 3));
        auto* grid = qobject_cast<QTableWidget*>(rig.widget("StringGrid1"));
        QCOMPARE(grid->currentRow(), 3);
        QCOMPARE(grid->currentColumn(), 2);
    }

    void devicesAreRecordedInOrder() {
        rig::AppRig rig;
        const int pad = rig.plugDevice("Pad", 0x1111, 0x2222, true, 65, 33);
        const int controller = rig.plugController("KVT317", 1.2f, "X");
        QCOMPARE(controller, pad + 1);
        rig.settle();
        QVERIFY(rig.writtenTo(pad).isEmpty());
        QCOMPARE(rig.writtenTo(controller).first().size(), 65);
        QCOMPARE(rig.written(), rig.writtenTo(controller));
        rig.clearWritten();
        QVERIFY(rig.written().isEmpty());
        rig.unplug();
        rig.settle();
        QCOMPARE(rig.text("TextStatus"), QStringLiteral("Brak urządzenia"));
        rig.replug(controller);
        rig.settle();
        // The identity the greeting asked for completes the status line.
        QCOMPARE(rig.text("TextStatus"),
                 QStringLiteral("Połączono z KVT317 ver. 1") + QLocale().decimalPoint() + QStringLiteral("2 [X]"));
    }

    void rigsFollowOneAnother() {
        for (int i = 0; i < 3; ++i) {
            rig::AppRig rig;
            QCOMPARE(rig.text("TabSheet4"), QStringLiteral("Sterowanie")); // fresh state each time
            rig.setLanguage(1);
            rig.plugController("KVT318");
            rig.settle(250);
        }
    }
};

int main(int argc, char** argv) {
    return runInBothLocales<RigTest>(argc, argv);
}

#include "test_rig.moc"
