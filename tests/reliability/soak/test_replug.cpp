// SPDX-License-Identifier: GPL-3.0-or-later
// A thousand unplug and plug cycles through the whole main window: the same controller again and
// controllers of the other models in turn. Every connection must greet the controller (100 and 99)
// and adapt the window to its model, and nothing may pile up from one cycle to the next.

#include "LiveObjects.h"
#include "RigTest.h"
#include "control/core/ModelProfile.h"
#include "link/Model.h"

#include <QAbstractSlider>
#include <QComboBox>

using namespace testing;

namespace {

constexpr int DefaultCycles = 1000;

int cycleCount() {
    const int n = qEnvironmentVariableIntValue("KVT_REPLUG_CYCLES");
    return n > 0 ? n : DefaultCycles;
}

kvt::Model modelOf(const QString& name) {
    if (name == QLatin1String("KVT317"))
        return kvt::Model::Kvt317;
    if (name == QLatin1String("PXA-KVT"))
        return kvt::Model::PxaKvt;
    return kvt::Model::Kvt318;
}

// The facts of the model's profile the window must show once the controller is connected. Left
// out are what the greeting's answers set again after the profile: the texts of the unit labels
// (every configuration record rebuilds them from the unit chosen) and the position memory option
// (the identity response hides it for every firmware version).
QStringList profileMismatches(rig::AppRig& rig, const QString& model) {
    QStringList wrong;
    const kvt::control::ModelProfile p = kvt::control::profileFor(modelOf(model));
    const auto expect = [&wrong](bool shown, const char* what) {
        if (!shown)
            wrong << QString::fromLatin1(what);
    };
    const auto* current = rig.program().mainWindow->findChild<QAbstractSlider*>(QStringLiteral("ScrollBar_Current"));
    expect(current && current->maximum() == p.currentCeiling, "ScrollBar_Current maximum");
    expect(rig.visible("cb_InStartStopMode") == p.startByInput, "cb_InStartStopMode visible");
    expect(rig.enabled("ComboBox_ModbusAdr") == p.modbusAddressSelectable, "ComboBox_ModbusAdr enabled");
    expect(rig.enabled("ComboBox_MotorResol") == p.motorResolutionSelectable, "ComboBox_MotorResol enabled");
    expect(rig.enabled("Label_MotorResol") == p.motorResolutionSelectable, "Label_MotorResol enabled");
    expect(rig.visible("btn_EncoderTest") == p.encoderTest, "btn_EncoderTest visible");
    expect(!p.encoderResolutionEntry || rig.visible("Edit_EncResol") == *p.encoderResolutionEntry,
           "Edit_EncResol visible");
    expect(rig.visible("label_encres") == p.encoderResolutionLabel, "label_encres visible");
    expect(rig.visible("RadioButton_EncABS") == p.absoluteEncoder, "RadioButton_EncABS visible");
    expect(rig.text("RadioButton_EncINKR") == p.encoderCaption, "RadioButton_EncINKR text");
    expect(rig.visible("LabelTemp") == p.temperature && rig.visible("label_UcTemp") == p.temperature,
           "temperature visible");
    expect(!p.supplyVoltage || (rig.visible("Label_Vpower") == *p.supplyVoltage &&
                                rig.visible("Label_Vzas") == *p.supplyVoltage),
           "supply voltage visible");
    expect(rig.text("LabelInStop") == p.stopInputCaption, "LabelInStop text");
    expect(!p.input1Caption || rig.text("Label9") == *p.input1Caption, "Label9 text");
    expect(!p.input2Caption || rig.text("Label10") == *p.input2Caption, "Label10 text");
    expect(rig.text("Edit_AF_Speed") == p.autoFunctionSpeed, "Edit_AF_Speed text");
    expect(!p.stepDivisions || rig.items("ComboBox_StepDiv") == *p.stepDivisions, "ComboBox_StepDiv items");
    expect(rig.index("ComboBox_Decp") == p.displayDecimals, "ComboBox_Decp");
    return wrong;
}

} // namespace

class ReplugTest : public QObject {
    Q_OBJECT

private slots:
    void thousandReplugsGreetAndAdaptEveryTime() {
        rig::AppRig rig;
        // Three controllers stay on the bench; one is plugged in at a time. The order takes the
        // same controller twice in a row and changes the model at every other step, so the profile
        // of each model is applied over the one of each other model.
        const QStringList models{"KVT318", "KVT317", "PXA-KVT"};
        QList<int> ids;
        for (const QString& m : models) {
            ids << rig.plugController(m);
            rig.unplug(ids.back());
        }
        const QList<int> order{0, 0, 1, 2, 1, 0, 2, 2};

        LiveObjects warm;
        int current = -1;
        const int cycles = cycleCount();
        for (int cycle = 0; cycle < cycles; ++cycle) {
            const int which = order[cycle % order.size()];
            if (current >= 0) {
                rig.unplug(ids[current]);
                rig.settle();
                QCOMPARE(rig.text("TextStatus"), QStringLiteral("Brak urządzenia"));
            }
            rig.clearWritten();
            rig.replug(ids[which]);
            rig.settle();
            current = which;

            const QString& model = models[which];
            const kvt::HidDeviceInfo info = rig.sim().info(ids[which]);
            QVERIFY2(rig.text("TextStatus").startsWith(QStringLiteral("Połączono z ") + info.product),
                     qPrintable(QStringLiteral("cycle %1: %2").arg(cycle).arg(rig.text("TextStatus"))));
            // The greeting: identity and configuration requests, in that order, to this controller.
            const QList<int> sent = codes(rig.writtenTo(ids[which]));
            const qsizetype identity = sent.indexOf(100);
            QVERIFY2(identity >= 0 && sent.indexOf(99) > identity,
                     qPrintable(QStringLiteral("cycle %1 sent no greeting").arg(cycle)));
            QCOMPARE(rig.program().mainWindow->link().activeInstance(), info.instance);
            const QStringList wrong = profileMismatches(rig, model);
            QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("cycle %1 (%2): %3")
                                                     .arg(cycle)
                                                     .arg(model, wrong.join(QStringLiteral(", ")))));

            // Warm once every controller has been connected and the order has run once.
            if (cycle == order.size() - 1)
                warm = settledLiveObjects(rig);
        }
        QVERIFY(cycles < order.size() || warm.total() > 0);

        // Back on the model the warm count was taken with: everything as it was then.
        if (cycles >= order.size()) {
            const int warmModel = order.back();
            if (current != warmModel) {
                rig.unplug(ids[current]);
                rig.replug(ids[warmModel]);
            }
            const LiveObjects end = settledLiveObjects(rig, &warm);
            qInfo("%d cycles; warm: %s; end: %s", cycles, qPrintable(warm.describe()),
                  qPrintable(end.describe()));
            QVERIFY2(end == warm,
                     qPrintable(QStringLiteral("warm: %1\nend:  %2").arg(warm.describe(), end.describe())));
        }

        // The distinguishing rows themselves, should the profile table ever be wrong as a whole.
        rig.unplug(ids[current]);
        rig.replug(ids[0]);
        rig.settle();
        QCOMPARE(qobject_cast<QAbstractSlider*>(rig.widget("ScrollBar_Current"))->maximum(), 100);
        QVERIFY(rig.items("ComboBox_StepDiv").contains("1/40"));
        QCOMPARE(rig.text("Label9"), QStringLiteral("In1"));
        rig.unplug(ids[0]);
        rig.replug(ids[2]);
        rig.settle();
        QCOMPARE(qobject_cast<QAbstractSlider*>(rig.widget("ScrollBar_Current"))->maximum(), 80);
        QVERIFY(!rig.visible("cb_InStartStopMode"));
        QCOMPARE(rig.text("LabelInStop"), QStringLiteral("In3"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    ReplugTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_replug.moc"
