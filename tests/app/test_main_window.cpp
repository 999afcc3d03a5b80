// SPDX-License-Identifier: GPL-3.0-or-later
// The main window frame as a user meets it: pages, texts in both languages, help panel, menu,
// secondary windows and the fixed layout.

#include "RigTest.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "assist/Colors.h"
#include "assist/FileDialogInfo.h"
#include "assist/StatusBar.h"
#include "version/Version.h"
#include "shell/AppState.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

using namespace testing;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void frameAtStartUp() {
        rig::AppRig rig;
        QCOMPARE(rig.text("TForm1"),
                 QStringLiteral("KVT-REVIZAREDUVA v") + QLatin1String(kvt::ProgramVersion));
        QStringList captions;
        for (const char* page : {"TabSheet4", "TabSheet3", "TabSheet2", "TabSheet5", "TabSheet1"})
            captions << rig.text(page);
        QCOMPARE(captions, (QStringList{"Sterowanie", "Konfiguracja", "RS485", "Program", "Funkcje"}));
        QCOMPARE(rig.page(), 0);
        for (const char* page : {"TabSheet4", "TabSheet3", "TabSheet2", "TabSheet5", "TabSheet1"})
            QVERIFY(rig.enabled(page));
        QCOMPARE(rig.text("MemoHelp"), QStringLiteral("Pomoc"));
        QCOMPARE(rig.background("MemoHelp"), QColor(192, 220, 192));
        QCOMPARE(rig.text("Label1"), QStringLiteral("Status:"));
        QCOMPARE(rig.text("Label3"), QStringLiteral("Temp:"));
        QCOMPARE(rig.text("JvXPButton4"), QStringLiteral("STOP"));
        QCOMPARE(rig.items("siLangCombo1"), (QStringList{"Polski", "English"}));
        QVERIFY(rig.statusPanel(0).endsWith(QStringLiteral("program_data.txp")));
        QCOMPARE(rig.program().mainWindow->state().displayDecimals(), 3);
        auto* timer = qobject_cast<QTimer*>(rig.object("DataTimer"));
        QCOMPARE(timer->interval(), 200);
        QVERIFY(!timer->isActive());
        for (const char* window : {"TForm2", "TForm3", "TFormProgress"})
            QVERIFY(!rig.visible(window));
        QVERIFY(rig.visible("TForm1"));
        QCOMPARE(rig.text("Odczytajzpliku1"), QStringLiteral("Odczytaj ustawienia z pliku"));
        QCOMPARE(rig.text("Zapiszdopliku1"), QStringLiteral("Zapisz ustawienia do pliku"));
        QCOMPARE(rig.text("Oprogramie1"), QStringLiteral("O programie"));
        QCOMPARE(rig.object("OpenDialog2")->property("Filter").toString(),
                 QStringLiteral("Plik programu TX-PROG|*.txp"));
        QCOMPARE(rig.object("SaveDialog_Config")->property("Filter").toString(),
                 QStringLiteral("KVT configuration file (kvt)|*kvt"));
    }

    void registerGridHeaders() {
        rig::AppRig rig;
        QCOMPARE(rig.cell("StringGrid1", 0, 0), QStringLiteral("Rejestry"));
        QCOMPARE(rig.cell("StringGrid1", 0, 1), QStringLiteral("50-59"));
        QCOMPARE(rig.cell("StringGrid1", 0, 5), QStringLiteral("90-99"));
        QCOMPARE(rig.cell("StringGrid1", 1, 0), QStringLiteral("+ 0-1"));
        QCOMPARE(rig.cell("StringGrid1", 5, 0), QStringLiteral("+ 8-9"));
    }

    void languageSwitchAndBack() {
        rig::AppRig rig;
        QVERIFY(rig.setLanguage(1));
        QStringList captions;
        for (const char* page : {"TabSheet4", "TabSheet3", "TabSheet2", "TabSheet5", "TabSheet1"})
            captions << rig.text(page);
        QCOMPARE(captions, (QStringList{"Control", "Configuration", "RS485", "Program", "Functions"}));
        QCOMPARE(rig.text("Label1"), QStringLiteral("Status:"));
        QCOMPARE(rig.text("Label3"), QStringLiteral("Temp:"));
        QCOMPARE(rig.text("JvXPButton4"), QStringLiteral("STOP"));
        QCOMPARE(rig.text("TextStatus"), QStringLiteral("No device"));
        QCOMPARE(rig.text("MemoHelp"), QStringLiteral("Help"));
        QCOMPARE(rig.text("TForm1"),
                 QStringLiteral("KVT-REVIZAREDUVA v") + QLatin1String(kvt::ProgramVersion));
        QCOMPARE(rig.object("OpenDialog2")->property("Filter").toString(),
                 QStringLiteral("TX-PROG file|*.txp"));
        QVERIFY(rig.setLanguage(0));
        captions.clear();
        for (const char* page : {"TabSheet4", "TabSheet3", "TabSheet2", "TabSheet5", "TabSheet1"})
            captions << rig.text(page);
        QCOMPARE(captions, (QStringList{"Sterowanie", "Konfiguracja", "RS485", "Program", "Funkcje"}));
        QCOMPARE(rig.text("TextStatus"), QStringLiteral("Brak urządzenia"));
        QCOMPARE(rig.text("TForm1"),
                 QStringLiteral("KVT-REVIZAREDUVA v") + QLatin1String(kvt::ProgramVersion));
    }

    void pageChangeDescribesThePage() {
        rig::AppRig rig;
        QVERIFY(rig.showPage(2));
        QCOMPARE(
            rig.text("MemoHelp"),
            QStringLiteral("Ustawienia komunikacji RS485, MODBUS oraz podgląd ramek danych przesylanych do "
                           "sterownika przez interfejs MODBUS"));
        QVERIFY(rig.showPage(1)); // Configuration leaves the panel as it was
        QVERIFY(rig.text("MemoHelp").startsWith(QStringLiteral("Ustawienia komunikacji")));
        QVERIFY(rig.showPage(3));
        QCOMPARE(rig.text("MemoHelp"), QStringLiteral("Program "));
        QVERIFY(rig.showPage(4)); // Functions leaves it too
        QCOMPARE(rig.text("MemoHelp"), QStringLiteral("Program "));
        rig.setLanguage(1);
        QCOMPARE(rig.text("MemoHelp"), QStringLiteral("Program ")); // not re-translated
        QVERIFY(rig.showPage(0));
        QCOMPARE(rig.text("MemoHelp"), QStringLiteral(" "));
        QCOMPARE(rig.page(), 0);
    }

    void aboutWindowShowsItsLinesOnce() {
        rig::AppRig rig;
        QVERIFY(rig.click("Oprogramie1"));
        rig.settle();
        QVERIFY(rig.visible("TForm2"));
        QCOMPARE(rig.text("TForm2"), QStringLiteral("O programie"));
        const QStringList lines = rig.text("Info").split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QStringLiteral("KVT-Revizareduva wersja:  ") + QLatin1String(kvt::ProgramVersion));
        QCOMPARE(lines[1], QStringLiteral(" "));
        QVERIFY(lines[2].startsWith(QStringLiteral("Program KVT-REVIZAREDUVA")));
        // The main window is blocked while the About window is open.
        QVERIFY(!rig.click("btn_Reconnect"));
        QVERIFY(rig.click("TForm2.btn_Close"));
        rig.settle();
        QVERIFY(!rig.visible("TForm2"));
        QVERIFY(rig.click("btn_Reconnect"));
        rig.setLanguage(1);
        QVERIFY(rig.click("Oprogramie1"));
        rig.settle();
        QCOMPARE(rig.text("TForm2"), QStringLiteral("About program"));
        QCOMPARE(rig.text("btn_Close"), QStringLiteral("Close"));
        QCOMPARE(rig.text("Info").split(QLatin1Char('\n')).size(), 5);
        QVERIFY(rig.text("Info").startsWith(QStringLiteral("KVT-Configurator version:  ") +
                                            QLatin1String(kvt::ProgramVersion)));
    }

    void windowHasTheFixedClientArea() {
        rig::AppRig rig;
        QMainWindow* form = rig.program().mainWindow;
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QCOMPARE(form->width(), 597);
        QCOMPARE(form->height() - form->menuBar()->height(), 678);
        QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(rig.widget("PageControl1")->size(), QSize(590, 521));
        QCOMPARE(rig.widget("MemoHelp")->size(), QSize(589, 81));
        // Each page, laid out when first shown, fills the whole area under the tabs.
        auto* tabs = qobject_cast<QTabWidget*>(rig.widget("PageControl1"));
        for (int page = 0; page < tabs->count(); ++page) {
            QVERIFY(rig.showPage(page));
            QWidget* shown = tabs->widget(page);
            QCOMPARE(shown->geometry(), shown->parentWidget()->rect());
            QVERIFY(shown->parentWidget()->width() > 580 && shown->parentWidget()->height() > 450);
        }
    }

    void nothingInTheFrameIsCutOff() {
        rig::AppRig rig;
        rig.plugController("PXA-KVT"); // the longest connection text
        rig.settle();
        QMainWindow* form = rig.program().mainWindow;
        const QRect client = form->rect();
        for (int page = 0; page < 5; ++page) {
            QVERIFY(rig.showPage(page));
            for (QWidget* w : form->findChildren<QWidget*>()) {
                if (!w->isVisible() || w->window() != form)
                    continue;
                // Inside the window, and inside its parent, with nothing hidden behind scroll bars.
                const QRect box(w->mapTo(form, QPoint(0, 0)), w->size());
                QVERIFY2(client.contains(box), qPrintable(w->objectName()));
                if (w->parentWidget() && w->parentWidget() != form)
                    QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(w->objectName()));
                if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap())
                    QVERIFY2(label->sizeHint().width() <= label->width() + 1,
                             qPrintable(label->objectName() + ": " + label->text()));
                if (auto* button = qobject_cast<QAbstractButton*>(w))
                    QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) < button->width(),
                             qPrintable(button->objectName()));
                if (auto* view = qobject_cast<QAbstractScrollArea*>(w);
                    view && !qobject_cast<QPlainTextEdit*>(w))
                    QVERIFY2(!view->horizontalScrollBar()->isVisible() &&
                                 !view->verticalScrollBar()->isVisible(),
                             qPrintable(view->objectName()));
            }
        }
        // Connection and acknowledgement texts fit their status panels; only a long program
        // path is elided.
        auto* status = qobject_cast<kvt::StatusBar*>(rig.widget("StatusBar"));
        QVERIFY2(status->panel(1)->fits(), qPrintable(rig.statusPanel(1)));
        rig.setLanguage(1);
        rig.inject(bytes({235}));
        rig.settle();
        QVERIFY2(status->panel(0)->fits(), qPrintable(rig.statusPanel(0)));
        // The tabs fit side by side, without scroll buttons.
        auto* tabs = qobject_cast<QTabWidget*>(rig.widget("PageControl1"));
        int width = 0;
        for (int i = 0; i < tabs->count(); ++i)
            width += tabs->tabBar()->tabRect(i).width();
        QVERIFY(width <= tabs->width());
    }
};

int main(int argc, char** argv) {
    return runInBothLocales<MainWindowTest>(argc, argv);
}

#include "test_main_window.moc"
