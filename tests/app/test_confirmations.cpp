// SPDX-License-Identifier: GPL-3.0-or-later
// A command confirmed in a box goes only to the controller that was active when the box opened:
// the factory reset, the auto-function's program and the start warning, each answered after
// another controller took over.
#include "RigTest.h"
#include "app/MainWindow.h"
#include "app/Program.h"

#include <QCheckBox>

using namespace testing;

namespace {

struct Confirmation {
    const char* name;
    int page;
    const char* button;
    QList<int> commands; // none of these may reach a controller
    int language;        // index in the language box
    const char* told;    // what the warning says
};

} // namespace

class ConfirmationsTest : public QObject {
    Q_OBJECT
private slots:
    void answerAfterAnotherControllerTookOverSendsNothing() {
        const QList<Confirmation> confirmations = {
            {"factory reset", 1, "JvXPButton1", {221}, 0, "nic nie wysłano"},
            {"auto-function", 4, "btn_MotionFunctionSet", {229, 230}, 1, "nothing was sent"},
            {"start warning", 3, "btn_ProgStart", {156}, 0, "nic nie wysłano"},
        };
        for (const Confirmation& c : confirmations) {
            rig::AppRig rig;
            const int first = rig.plugController("KVT318");
            rig.settle();
            QVERIFY(rig.setLanguage(c.language));
            if (auto* option = rig.program().mainWindow->findChild<QCheckBox*>("cb_InStartStopMode"))
                option->setChecked(true); // the start by input asks before 156
            QVERIFY(rig.showPage(c.page));
            rig.settle();
            rig.holdDialogs(true);
            QVERIFY2(rig.click(c.button), c.name);
            rig.settle();
            QCOMPARE(rig.dialogs().size(), 1);

            const int second = rig.plugController("KVT318"); // the last listed is the active one
            rig.settle();
            rig.clearWritten();
            rig.clearDialogs();
            QVERIFY(rig.closeDialog(true));
            rig.settle();
            for (const int code : c.commands) {
                QVERIFY2(!codes(rig.writtenTo(first)).contains(code), c.name);
                QVERIFY2(!codes(rig.writtenTo(second)).contains(code), c.name);
            }
            QCOMPARE(rig.dialogs().size(), 1);
            QCOMPARE(rig.dialogs().first().kind, QString("warning"));
            QVERIFY2(rig.dialogs().first().text.contains(QString::fromUtf8(c.told)), c.name);
            QVERIFY(rig.closeDialog(true));
            rig.holdDialogs(false);
        }
    }
};

int main(int argc, char** argv) {
    return runInBothLocales<ConfirmationsTest>(argc, argv);
}
#include "test_confirmations.moc"
