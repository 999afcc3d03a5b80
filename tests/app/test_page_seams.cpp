// SPDX-License-Identifier: GPL-3.0-or-later
// What the pages share reaches the other pages, and every object name the window's tables use
// (unit labels and translation stores; the help entries are checked with the help panel) names
// exactly one control: a renamed control fails here instead of being skipped without a word.

#include "RigTest.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "assist/AboutWindow.h"
#include "assist/Components.h"
#include "assist/TranslationStore.h"
#include "control/core/ModelProfile.h"
#include "control/core/Units.h"
#include "encoder/EncoderTestWindow.h"
#include "program/ProgressWindow.h"
#include "shell/AppState.h"
#include "sim/SimBackend.h"
#include "sim/SimController.h"

using namespace testing;

namespace {

// The components of `window` itself (not of a window it owns) named `name`.
int componentsNamed(QWidget* window, const QString& name) {
    int count = window->objectName() == name ? 1 : 0;
    for (QObject* o : window->findChildren<QObject*>(name))
        count += kvt::owningWindow(o) == window ? 1 : 0;
    return count;
}

QString loc(QString expected) {
    return expected.replace(QLatin1Char('.'), QLocale().decimalPoint());
}

} // namespace

class PageSeamsTest : public QObject {
    Q_OBJECT

private slots:
    // A configuration record fills the working values of manual moves, the unit labels of all
    // three pages that have them and the Modbus link of the RS485 page; a unit the user picks
    // relabels all three pages.
    void recordReachesEveryPage() {
        rig::AppRig rig;
        const int id = rig.plugController(QStringLiteral("KVT318"));
        kvt::sim::SimController* c = rig.sim().controller(id);
        kvt::sim::ConfigRecord r = c->config();
        r.defMaxVel = 7.5f;
        r.defAcc = 3.25f;
        r.units = 1;
        c->setConfig(r);
        c->handle(bytes({222, 3, 7})); // the Modbus link: rate code 3, address 7
        rig.settle();
        QVERIFY(rig.click(QStringLiteral("btn_Reconnect")));
        rig.settle();

        QCOMPARE(rig.text("Edit_SetVmax"), loc("7.500"));
        QCOMPARE(rig.text("Edit_SetAcc"), loc("3.250"));
        QCOMPARE(rig.text("Label_SpeedActual"), QString("Prędkosc aktualna [mm/s]"));
        QCOMPARE(rig.text("Label_ConfigSpeedMin"), QString("Prędkosc min. [mm/s]"));
        QCOMPARE(rig.text("Labe_lAutoFunc1_Speed"), QString("Prędkosc [mm/s]"));
        QCOMPARE(rig.index("ComboBox_ModbusAdr"), 6);
        QCOMPARE(rig.index("ComboBox_MBusRate"), 3);

        QVERIFY(rig.showPage(1));
        QVERIFY(rig.choose("ComboBox_Units", 2));
        QCOMPARE(rig.text("GroupBox_PosSets"), QString("Pozycja zadana [cm]"));
        QCOMPARE(rig.text("Label_ConfigAcc"), QString("Przyspieszenie [cm/s^2]"));
        QCOMPARE(rig.text("Labe_lAutoFunc1_Speed"), QString("Prędkosc [cm/s]"));
    }

    // A model's profile relabels the pages with its own unit texts until the next record.
    void modelUnitLabelsOnEveryPage() {
        rig::AppRig rig;
        rig.plugController(QStringLiteral("PXA-KVT"));
        rig.settle();
        const kvt::control::ModelProfile pxa = kvt::control::profileFor(kvt::Model::PxaKvt);
        QCOMPARE(rig.program().mainWindow->state().displayDecimals(), pxa.displayDecimals);
        QCOMPARE(rig.text("Edit_AF_Speed"), pxa.autoFunctionSpeed);
        QVERIFY(!rig.enabled("ComboBox_ModbusAdr"));
    }

    void unitLabelsNameOneControlEach() {
        rig::AppRig rig;
        QWidget* window = rig.program().mainWindow;
        QList<kvt::control::ControlText> all = kvt::control::unitLabels(QStringLiteral("mm"));
        for (const kvt::Model m : {kvt::Model::Kvt318, kvt::Model::Kvt317, kvt::Model::PxaKvt})
            all << kvt::control::modelUnitLabels(kvt::control::profileFor(m));
        for (const kvt::control::ControlText& t : all)
            QVERIFY2(componentsNamed(window, t.objectName) == 1, qPrintable(t.objectName));
    }

    // Every entry a store applies to a component names exactly one component of its window.
    void translationEntriesNameOneComponentEach() {
        rig::AppRig rig;
        kvt::Program& program = rig.program();
        const QList<std::pair<QWidget*, kvt::TranslationStore*>> stores{
            {program.mainWindow, &program.mainWindow->texts()},
            {program.aboutWindow, &program.aboutWindow->texts()},
            {program.encoderTestWindow, &program.encoderTestWindow->texts()},
            {program.progressWindow, &program.progressWindow->texts()},
        };
        for (const auto& [window, store] : stores) {
            QVERIFY(!store->entries().isEmpty());
            for (const kvt::TranslationStore::Entry& entry : store->entries()) {
                if (entry.section == kvt::TranslationStore::Section::Keyed)
                    continue;
                const QString component = entry.key.section(QLatin1Char('.'), 0, 0);
                QVERIFY2(componentsNamed(window, component) == 1,
                         qPrintable(store->name() + QStringLiteral(": ") + entry.key));
            }
        }
    }
};

int main(int argc, char** argv) {
    return runInBothLocales<PageSeamsTest>(argc, argv);
}

#include "test_page_seams.moc"
