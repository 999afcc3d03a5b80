// SPDX-License-Identifier: GPL-3.0-or-later
// The window's commissioning report: the menu entry follows the connection, the dialog reads the
// connected controller and writes the file, and a controller pulled out while it is being read
// gives a clear message and no file.

#include "AppRig.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "report/ReportDialog.h"
#include "sim/SimBackend.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The dialog is a window of its own, which the rig's control names do not reach.
kvt::ReportDialog* reportDialog(rig::AppRig& rig) {
    return rig.program().mainWindow->findChild<kvt::ReportDialog*>(QStringLiteral("TFormReport"));
}

} // namespace

class TestReportDialog : public QObject {
    Q_OBJECT
private slots:
    void reportOfTheConnectedController() {
        QTemporaryDir dir;
        rig::AppRig rig;
        QVERIFY(!rig.enabled("Raport1"));
        const int id = rig.plugController("KVT318");
        rig.settle();
        QVERIFY(rig.enabled("Raport1"));
        QVERIFY(rig.setLanguage(1));
        QCOMPARE(rig.text("Raport1"), QString("Commissioning report..."));

        // An encoder test run earlier in the session reaches the report.
        QByteArray result(1, char(91));
        result.append(QByteArray::fromHex("00080000")).append('\0'); // 2048 pulses, wiring correct
        rig.inject(result, id);
        rig.settle();

        QVERIFY(rig.click("Raport1"));
        kvt::ReportDialog* dialog = reportDialog(rig);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->Button_Create->text(), QString("Create..."));
        QVERIFY(dialog->Button_Create->isEnabled());
        dialog->Edit_Operator->setText("Łukasz Żółć");
        dialog->ComboBox_Format->setCurrentIndex(2);
        const QString path = dir.filePath("report.json");
        rig.answerFile(path);
        QTest::mouseClick(dialog->Button_Create, Qt::LeftButton);
        rig.settle(300);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
        QCOMPARE(json.value("operator").toString(), QString("Łukasz Żółć"));
        QCOMPARE(json.value("controller").toObject().value("model").toString(), QString("KVT318"));
        QVERIFY(json.value("configuration").toObject().value("record").toObject().contains("DefMaxVel"));
        QVERIFY(json.value("storedProgram").isObject());
        QCOMPARE(json.value("encoderTest").toObject().value("measured").toInt(), 2048);
        QVERIFY(json.value("trend").isNull()); // the trend window was never opened
        QCOMPARE(rig.dialogs().last().kind, QString("information"));
        QVERIFY(rig.dialogs().last().text.contains("Report written"));
    }

    void unplugWhileReadingWritesNothing() {
        QTemporaryDir dir;
        rig::AppRig rig;
        const int id = rig.plugController("KVT318");
        rig.settle();
        QVERIFY(rig.click("Raport1"));
        kvt::ReportDialog* dialog = reportDialog(rig);
        QVERIFY(dialog);
        const QString path = dir.filePath("report.pdf");
        rig.answerFile(path);
        kvt::sim::Faults faults;
        faults.vanishAfterCommands = 2;
        rig.sim().setFaults(id, faults);
        QTest::mouseClick(dialog->Button_Create, Qt::LeftButton);
        rig.settle(3000);

        QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
        QCOMPARE(rig.dialogs().last().kind, QString("error"));
        QVERIFY2(rig.dialogs().last().text.contains("raport nie został zapisany"),
                 qPrintable(rig.dialogs().last().text));
        QVERIFY(!dialog->Button_Create->isEnabled());
        QVERIFY(!rig.enabled("Raport1"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    TestReportDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_report_dialog.moc"
