// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog services: the real one shows boxes without a nested event loop and runs the
// continuation when the box closes; the scripted one answers from queues.

#include "assist/QtDialogService.h"
#include "assist/ScriptedDialogService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using kvt::DialogService;

class DialogServiceTest : public QObject {
    Q_OBJECT

    static QMessageBox* openBox() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
                return box;
        }
        return nullptr;
    }

private slots:
    void realBoxReturnsAtOnceAndContinuesWhenClosed_data() {
        QTest::addColumn<bool>("pressOk");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }
    void realBoxReturnsAtOnceAndContinuesWhenClosed() {
        QFETCH(bool, pressOk);
        QWidget window;
        window.show();
        kvt::QtDialogService dialogs;
        int answers = 0;
        bool answer = !pressOk;
        dialogs.message(&window, DialogService::Icon::Question, "Continue?", "Caption",
                        DialogService::Buttons::OkCancel, [&](bool ok) {
                            ++answers;
                            answer = ok;
                        });
        QCOMPARE(answers, 0); // returned without waiting for the user
        QMessageBox* box = openBox();
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("Continue?"));
        QCOMPARE(box->windowTitle(), QStringLiteral("Caption"));
        QCOMPARE(box->icon(), QMessageBox::Question);
        box->button(pressOk ? QMessageBox::Ok : QMessageBox::Cancel)->click();
        QTRY_COMPARE(answers, 1);
        QCOMPARE(answer, pressOk);
    }

    void filtersBecomeQtFilters() {
        QCOMPARE(kvt::toQtFileFilter("Plik programu TX-PROG|*.txp"),
                 QStringLiteral("Plik programu TX-PROG (*.txp)"));
        QCOMPARE(kvt::toQtFileFilter("A|*.a|B|*.b;*.c"), QStringLiteral("A (*.a);;B (*.b *.c)"));
        QCOMPARE(kvt::withLineBreaks("one\\ntwo"), QStringLiteral("one\ntwo"));
    }

    void scriptedBoxesAnswerFromTheQueueAfterTheHandler() {
        kvt::ScriptedDialogService dialogs;
        QList<bool> answers;
        auto record = [&](bool ok) { answers << ok; };
        dialogs.queueAnswer(false);
        dialogs.message(nullptr, DialogService::Icon::Warning, "a", "b", DialogService::Buttons::OkCancel,
                        record);
        dialogs.message(nullptr, DialogService::Icon::Question, "c", "d", DialogService::Buttons::OkCancel,
                        record);
        dialogs.message(nullptr, DialogService::Icon::Information, "e", "f", DialogService::Buttons::Ok,
                        record);
        QVERIFY(answers.isEmpty()); // continuations run after the handler has returned
        QCOMPARE(dialogs.pendingContinuations(), 3);
        QCoreApplication::processEvents();
        QCOMPARE(answers, (QList<bool>{false, true, true}));
        QCOMPARE(dialogs.pendingContinuations(), 0);
        QCOMPARE(dialogs.shown().size(), 3);
        QCOMPARE(dialogs.shown()[0].kind, QStringLiteral("warning"));

        QString path = "unset";
        dialogs.openFile(nullptr, {"Open", "/", "x.txp", "P|*.txp"}, [&](const QString& p) { path = p; });
        QCoreApplication::processEvents();
        QCOMPARE(path, QString()); // nothing queued: cancelled
        dialogs.queueFile("/tmp/a.txp");
        dialogs.saveFile(nullptr, {"Save", "/", "", "P|*.txp"}, [&](const QString& p) { path = p; });
        QCoreApplication::processEvents();
        QCOMPARE(path, QStringLiteral("/tmp/a.txp"));
        QCOMPARE(dialogs.shown().last().kind, QStringLiteral("save"));
        QCOMPARE(dialogs.shown().last().text, QStringLiteral("P|*.txp"));
    }

    void heldBoxesWaitAndDieWithTheirWindow() {
        kvt::ScriptedDialogService dialogs;
        dialogs.setHolding(true);
        int runs = 0;
        auto* window = new QWidget;
        dialogs.message(window, DialogService::Icon::Information, "x", "y", DialogService::Buttons::Ok,
                        [&](bool) { ++runs; });
        QCoreApplication::processEvents();
        QCOMPARE(runs, 0);
        QCOMPARE(dialogs.openCount(), 1);
        QVERIFY(dialogs.closeOldest(true));
        QVERIFY(!dialogs.closeOldest(true));
        // The window goes before the continuation could run: it is dropped, and no longer pending.
        delete window;
        QCoreApplication::processEvents();
        QCOMPARE(runs, 0);
        QCOMPARE(dialogs.pendingContinuations(), 0);
    }
};

QTEST_MAIN(DialogServiceTest)
#include "test_dialog_service.moc"
