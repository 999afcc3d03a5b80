// SPDX-License-Identifier: GPL-3.0-or-later
// The RS485 page's Modbus frame preview and register view on the simulated controller.
#include "RigTest.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "assist/Colors.h"
#include "link/Transport.h"
#include "sim/SimBackend.h"
#include "sim/SimController.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>

using namespace testing;

namespace {

constexpr int Rs485Page = 2;

QStringList logLines(rig::AppRig& rig) {
    const QString text = rig.text("MemoMbusTrans");
    return text.isEmpty() ? QStringList() : text.split('\n');
}

// `text` written with "." as the decimal mark, in the default locale.
QString localized(QString text) {
    return text.replace('.', QLocale().decimalPoint());
}

QList<QByteArray> previewCommands(rig::AppRig& rig) {
    QList<QByteArray> result;
    for (const QByteArray& r : rig.written())
        if (r.size() > 1 && quint8(r[1]) == 216)
            result << r.mid(1, 2);
    return result;
}

} // namespace

class Rs485PreviewTest : public QObject {
    Q_OBJECT

    // A connected KVT318 (slave address 1) with the RS485 page shown.
    int connect(rig::AppRig& rig) {
        const int id = rig.plugController("KVT318");
        rig.settle();
        rig.showPage(Rs485Page);
        rig.settle();
        if (!rig.program().mainWindow->findChild<QComboBox*>("ComboBox_ModbusAdr")) {
            // The link settings group is built elsewhere; a stand-in carries its address list.
            auto* address = new QComboBox(rig.program().mainWindow);
            address->setObjectName("ComboBox_ModbusAdr");
            for (int a = 1; a <= 32; ++a)
                address->addItem(QString::number(a));
            address->hide();
        }
        rig.clearWritten();
        return id;
    }

private slots:
    void previewLogsTheBusMastersFrames() {
        rig::AppRig rig;
        connect(rig);
        QVERIFY(rig.click("CheckBox_ModbusPrev"));
        rig.settle(3000);
        QCOMPARE(previewCommands(rig), QList<QByteArray>{bytes({216, 1})});
        const QStringList lines = logLines(rig);
        QVERIFY2(lines.size() >= 4, qPrintable(QString::number(lines.size())));
        // The round starts with a read of ten holding registers from 50, sent to this slave.
        QCOMPARE(lines[0], QString("01  03  00  32  00  0A  64  02    ->>  Odczyt n rejestrow"));
        QVERIFY(lines[1].startsWith("01  06  00  3C  "));
        QVERIFY(lines[1].endsWith("  ->>  Zapis 1 rejestru"));
        QCOMPARE(rig.text("EditMbusFrameCnt"), QString::number(lines.size()));

        // Clearing keeps the counter's text until the next frame; switching the preview off
        // stops the frames.
        QVERIFY(rig.click("btn_MbusPrevievClear"));
        QCOMPARE(rig.text("MemoMbusTrans"), QString());
        QCOMPARE(rig.text("EditMbusFrameCnt"), QString::number(lines.size()));
        QVERIFY(rig.click("CheckBox_ModbusPrev"));
        rig.settle();
        rig.inject(bytes({87, 0, 1, 3}));
        rig.settle();
        QCOMPARE(rig.text("EditMbusFrameCnt"), QString("1"));
        QCOMPARE(logLines(rig), QStringList{"  ->>  Odczyt n rejestrow"}); // no frame bytes
        QCOMPARE(previewCommands(rig).last(), bytes({216, 0}));
    }

    void frameTextsAndTheReceiveIndicator() {
        rig::AppRig rig;
        connect(rig);
        rig.program().mainWindow->pollTimer()->stop(); // the indicator stays lit until a tick
        rig.inject(bytes({87, 2, 1, 4}));
        rig.inject(bytes({87, 3, 7, 3, 0}));
        rig.settle();
        QCOMPARE(logLines(rig), (QStringList{"01  04  ", "07  03  00    ->>  Niepoprawny adres modbus"}));
        QCOMPARE(rig.background("EditRx"), kvt::colors::ModbusRx);
        QVERIFY(rig.setLanguage(1));
        rig.inject(bytes({87, 2, 1, 16}));
        rig.settle();
        QCOMPARE(logLines(rig).last(), QString("01  10    ->>  Save n registers"));
        rig.program().mainWindow->pollTimer()->start();
        rig.settle(450);
        QVERIFY(rig.background("EditRx") != kvt::colors::ModbusRx);
    }

    void registerViewAndItsModes() {
        rig::AppRig rig;
        const int id = connect(rig);
        QVERIFY(!rig.visible("UserRegisters"));
        QVERIFY(!rig.visible("btn_DispModbusReg"));
        QVERIFY(rig.click("btn_DispUserRegi"));
        QVERIFY(rig.visible("UserRegisters"));
        QVERIFY(rig.visible("btn_DispModbusReg"));
        QVERIFY(!rig.visible("btn_DispUserRegi"));
        QVERIFY(rig.checked("CheckBox_ModbusPrev"));
        rig.settle();
        QCOMPARE(rig.sim().controller(id)->modbusPreviewMode(), 2);
        // In register mode the controller sends both halves about once a second; each upper half
        // counts as one received frame.
        rig.sim().controller(id)->handle(bytes({234, 0, 0, 0x3F, 0x80, 0})); // R50 = 1
        rig.settle(2100);
        QVERIFY(rig.text("EditMbusFrameCnt").toInt() >= 2);
        QCOMPARE(rig.cell("StringGrid1", 1, 1), QString("1"));
        QCOMPARE(rig.text("editR50"), QString("1"));

        QVERIFY(rig.click("CheckBox_ModbusPrev")); // off, even with the register view shown
        QVERIFY(rig.click("CheckBox_ModbusPrev"));
        QVERIFY(rig.click("btn_DispModbusReg"));
        rig.settle();
        QCOMPARE(previewCommands(rig),
                 (QList<QByteArray>{bytes({216, 2}), bytes({216, 0}), bytes({216, 2}), bytes({216, 1})}));
        QVERIFY(!rig.visible("UserRegisters"));
    }

    void registerValuesAsRealOrDword() {
        rig::AppRig rig;
        const int id = connect(rig);
        rig.program().mainWindow->pollTimer()->stop();
        QVERIFY(rig.click("btn_DispUserRegi"));
        QVERIFY(rig.click("CheckBox_ModbusPrev")); // preview off: only what is asked for
        rig.settle();
        // Pairs as the register read-back carries them: 50-51, 52-53 and 98-99.
        QByteArray lower = bytes({106, 0});
        lower.append(QByteArray::fromHex("00003f80"));
        lower.append(QByteArray::fromHex("3f800000"));
        QByteArray upper = bytes({106, 1});
        upper.append(QByteArray(36, '\0'));
        upper.append(QByteArray::fromHex("fffeffff"));
        kvt::sim::SimController& controller = *rig.sim().controller(id);
        controller.handle(bytes({234, 0, 0, 0x3F, 0x80, 0}));
        controller.handle(bytes({234, 0x3F, 0x80, 0, 0, 4}));
        controller.handle(bytes({234, 0xFF, 0xFE, 0xFF, 0xFF, 96}));

        QVERIFY(rig.click("btn_ReadUserRegister"));
        rig.settle();
        QCOMPARE(rig.cell("StringGrid1", 1, 1), QString("1"));
        QCOMPARE(rig.cell("StringGrid1", 2, 1), localized("2.2779508E-41"));
        QCOMPARE(rig.cell("StringGrid1", 5, 5), QString("NAN")); // FFFFFFFEh is not a number as a single
        QCOMPARE(rig.text("EditMbusFrameCnt"), QString("0"));    // asked for
        QCOMPARE(rig.text("editR50"), QString("1"));

        QVERIFY(rig.click("RadioButton_DWORD")); // applies to values as they arrive
        QCOMPARE(rig.cell("StringGrid1", 1, 1), QString("1"));
        rig.inject(lower);
        rig.inject(upper);
        rig.settle();
        QCOMPARE(rig.cell("StringGrid1", 1, 1), QString("1065353216"));
        QCOMPARE(rig.cell("StringGrid1", 2, 1), QString("16256"));
        QCOMPARE(rig.cell("StringGrid1", 5, 5), QString("-2"));
        QCOMPARE(rig.text("editR52"), localized("2.2779508E-41"));
        QCOMPARE(rig.text("EditMbusFrameCnt"), QString("1")); // not asked for: a received frame

        QVERIFY(rig.selectCell("StringGrid1", 3, 2));
        QCOMPARE(rig.text("LabelSelectUserReg"), QString("64-65"));
        QVERIFY(rig.selectCell("StringGrid1", 1, 1));
        QCOMPARE(rig.text("LabelSelectUserReg"), QString("50-51"));
        QCOMPARE(rig.text("Label_REGVAL"), QString("1065353216"));
    }

    void registerViewFitsThePage() {
        rig::AppRig rig;
        connect(rig);
        QVERIFY(rig.click("btn_DispUserRegi"));
        auto* grid = qobject_cast<QTableWidget*>(rig.widget("StringGrid1"));
        QWidget* view = rig.widget("UserRegisters");
        QVERIFY(view->rect().contains(grid->geometry()));
        int width = 2 * grid->frameWidth();
        for (int c = 0; c < grid->columnCount(); ++c)
            width += grid->columnWidth(c);
        QVERIFY(width <= grid->width());
        // The longest value text fits its column.
        const int text = grid->fontMetrics().horizontalAdvance("-8.8888888E-38");
        QVERIFY(text + 6 <= grid->columnWidth(1));
        const QRect page = rig.widget("TabSheet2")->rect();
        QVERIFY(page.contains(QRect(view->mapTo(rig.widget("TabSheet2"), QPoint()), view->size())));
    }

    void frameLogKeepsTheMostRecentLines() {
        if (QLocale().decimalPoint() != ',')
            QSKIP("numbers play no part: run in the first locale only");
        rig::AppRig rig;
        connect(rig);
        kvt::Transport& link = rig.program().mainWindow->link();
        const int total = 100010;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < total; ++i) {
            QByteArray frame = bytes({87, 3, 1, 3});
            frame.append(char(i % 256));
            link.receive(frame);
            if (i % 1000 == 999)
                rig.settle(); // bursts of a thousand frames
        }
        rig.settle();
        const qint64 ms = timer.elapsed();
        qInfo("%d frames logged in %lld ms", total, ms);
        auto* log = qobject_cast<QPlainTextEdit*>(rig.widget("MemoMbusTrans"));
        QCOMPARE(log->document()->blockCount(), 100000);
        QCOMPARE(rig.text("EditMbusFrameCnt"), QString::number(total));
        QCOMPARE(log->document()->firstBlock().text().left(12), QString("01  03  0A  ")); // frame 10
    }
};

int main(int argc, char** argv) {
    // The page's own choices (the decoded view) from a settings folder of the test's own.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    return runInBothLocales<Rs485PreviewTest>(argc, argv);
}
#include "test_rs485_preview.moc"
