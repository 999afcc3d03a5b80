// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own start: the window is painted with the shown page before the hidden pages are
// built and the devices are scanned. Whatever the user then reaches must be the window built in
// one go, and nothing may reach a page before it has its controls.

#include "RigControls.h"
#include "RigTest.h"
#include "app/MainWindow.h"
#include "app/Program.h"

#include <QTabBar>
#include <QTabWidget>

using namespace testing;

namespace {

using Start = rig::AppRig::Start;

// Every named control of the main window on every page, with what a user can tell about it:
// kind, text, enabled, shown, and where it is.
QStringList windowSignature(rig::AppRig& rig) {
    QStringList lines;
    kvt::MainWindow* window = rig.program().mainWindow;
    for (int page = 0; page < window->pages()->count(); ++page) {
        rig.showPage(page);
        rig.settle();
        for (QWidget* w : window->findChildren<QWidget*>()) {
            const QString name = w->objectName();
            if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || w->window() != window)
                continue;
            bool hasText = false;
            const QString text = rig::userText(w, &hasText);
            lines << QStringLiteral("%1 %2 %3 %4 %5 %6 %7,%8 %9x%10")
                         .arg(page)
                         .arg(name, QLatin1String(w->metaObject()->className()), text)
                         .arg(w->isEnabled())
                         .arg(w->isVisible())
                         .arg(w->mapTo(window, QPoint(0, 0)).x())
                         .arg(w->mapTo(window, QPoint(0, 0)).y())
                         .arg(w->width())
                         .arg(w->height());
        }
    }
    lines.sort();
    return lines;
}

bool hasControl(rig::AppRig& rig, const char* name) {
    return rig.program().mainWindow->findChild<QWidget*>(QLatin1String(name)) != nullptr;
}

} // namespace

class StartUpTest : public QObject {
    Q_OBJECT

private slots:
    // Before its first paint the window has the shown page and every page's tab, the hidden
    // pages have no controls yet and no device has been touched; once painted, the window is the
    // one built in one go, connected to the controller that was plugged in at start.
    void paintedFirstThenTheSameWindow() {
        QStringList allAtOnce;
        {
            rig::AppRig rig;
            rig.plugController(QStringLiteral("KVT318"));
            rig.settle();
            allAtOnce = windowSignature(rig);
        }
        rig::AppRig rig(Start::AsTheProgram);
        rig.plugController(QStringLiteral("KVT318"));
        QVERIFY(hasControl(rig, "btn_MotorDisable"));
        QVERIFY(hasControl(rig, "TabSheet3"));
        QVERIFY(!hasControl(rig, "btn_SaveConfigSettings"));
        QVERIFY(!hasControl(rig, "StringGrid1"));
        QVERIFY(!hasControl(rig, "MemoProgram"));
        QVERIFY(!hasControl(rig, "Label42"));
        QCOMPARE(rig.text("TextStatus"), QStringLiteral("Brak urządzenia"));
        QVERIFY(rig.statusPanel(0).endsWith(QStringLiteral("program_data.txp")));
        QVERIFY(rig.written().isEmpty());

        rig.settle();
        QVERIFY(hasControl(rig, "btn_SaveConfigSettings"));
        QVERIFY(rig.text("TextStatus").contains(QStringLiteral("KVT318")));
        QCOMPARE(rig.cell("StringGrid1", 0, 0), QStringLiteral("Rejestry"));
        QCOMPARE(rig.cell("StringGrid1", 5, 0), QStringLiteral("+ 8-9"));
        const QStringList windowFirst = windowSignature(rig);
        for (qsizetype i = 0; i < std::min(allAtOnce.size(), windowFirst.size()); ++i)
            QCOMPARE(windowFirst[i], allAtOnce[i]);
        QCOMPARE(windowFirst.size(), allAtOnce.size());

        // The Control page is tied to the lists of the Configuration page built after it.
        QVERIFY(rig.showPage(1));
        QVERIFY(rig.choose("ComboBox_Units", 2));
        rig.settle();
        QCOMPARE(rig.text("Label_ConfigSpeedMin"), QStringLiteral("Prędkosc min. [cm/s]"));

        // A click entry of the help panel on a page built later shows its help.
        QVERIFY(rig.showPage(3));
        rig.settle();
        const QString clickHelp = rig.program().mainWindow->texts().text(QStringLiteral("IDS_213"));
        QVERIFY(rig.text("MemoHelp") != clickHelp);
        QVERIFY(rig.choose("ComboBoxModulNumer", 1));
        rig.settle();
        QCOMPARE(rig.text("MemoHelp"), clickHelp);
    }

    // Input that reaches the window before its first paint finds the whole window: a click on a
    // tab builds the pages before the tab bar takes it.
    void inputBeforeTheFirstPaintFindsTheWholeWindow() {
        rig::AppRig rig(Start::AsTheProgram);
        QTabWidget* tabs = rig.program().mainWindow->pages();
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(4).center());
        QVERIFY(hasControl(rig, "Label42"));
        QVERIFY(hasControl(rig, "btn_SaveConfigSettings"));
        QCOMPARE(tabs->currentIndex(), 4);
        rig.settle();
        QVERIFY(rig.visible("Label42"));
        QVERIFY(rig.visible("Edit_AF_Wait1"));
    }

    // A page put in front by code before its controls exist shows them once they are built,
    // those placed by hand as well as those in layouts.
    void pageShownBeforeItWasBuilt() {
        rig::AppRig rig(Start::AsTheProgram);
        rig.program().mainWindow->pages()->setCurrentIndex(4);
        QVERIFY(!hasControl(rig, "Label42"));
        rig.settle();
        QVERIFY(rig.visible("Label42"));
        QVERIFY(rig.visible("Edit_AF_Wait1"));
        rig.program().mainWindow->pages()->setCurrentIndex(2);
        rig.settle();
        QVERIFY(rig.visible("StringGrid1") || rig.visible("MemoMbusTrans"));
        QVERIFY(rig.visible("CheckBox_ModbusPrev"));
    }

    // A window that is not painted (hidden again at once here; minimised or on another desktop
    // for a user) still gets its pages and connects within a moment.
    void windowNeverPaintedStartsAllTheSame() {
        rig::AppRig rig(Start::AsTheProgram);
        rig.program().mainWindow->hide();
        rig.plugController(QStringLiteral("KVT318"));
        rig.settle();
        QVERIFY(!hasControl(rig, "Label42"));
        QVERIFY(rig.written().isEmpty());
        rig.settle(600);
        QVERIFY(hasControl(rig, "Label42"));
        QVERIFY(rig.text("TextStatus").contains(QStringLiteral("KVT318")));
    }

    // Closing the program before its first paint leaves nothing behind.
    void endsBeforeTheFirstPaint() {
        rig::AppRig rig(Start::AsTheProgram);
        rig.plugController(QStringLiteral("KVT318"));
        QVERIFY(!hasControl(rig, "Label42"));
    }
};

int main(int argc, char** argv) {
    return runInBothLocales<StartUpTest>(argc, argv);
}

#include "test_start_up.moc"
