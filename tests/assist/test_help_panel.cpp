// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/HelpEntries.h"
#include "assist/HelpPanel.h"
#include "assist/TranslationStore.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

using namespace kvt;

namespace {

template <typename T> T* named(QWidget* parent, const char* name) {
    auto* w = new T(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

// A move of the pointer over `w` with no button held, as the window system delivers it.
void moveOver(QWidget* w) {
    const QPointF at(2, 2);
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

// Part of a main window: controls with and without entries, some inside groups with entries.
struct Window {
    QWidget window;
    QPlainTextEdit* memo = named<QPlainTextEdit>(&window, "MemoHelp");
    QPushButton* sendProg = named<QPushButton>(&window, "btn_SendProg");
    QLabel* noHelp = named<QLabel>(&window, "Label9");
    QGroupBox* homing = named<QGroupBox>(&window, "GroupBox_Homing");
    QRadioButton* home0 = named<QRadioButton>(homing, "RadioButtonHome0");
    QLabel* homingNote = new QLabel(QStringLiteral("nameless"), homing);
    QGroupBox* encoder = named<QGroupBox>(&window, "GroupBox_Encoder");
    QLineEdit* resolution = named<QLineEdit>(encoder, "Edit_EncResol");
    QGroupBox* motion = named<QGroupBox>(&window, "GroupBox2");
    QSpinBox* kp = named<QSpinBox>(&window, "Edit_KP"); // a composite control: its editor is a child
    QComboBox* address = named<QComboBox>(&window, "ComboBoxModulNumer");
    TranslationStore texts{&window, QStringLiteral("TForm1")};
    HelpPanel panel{memo, &window, texts};

    Window() {
        window.setObjectName(QStringLiteral("TForm1"));
        memo->setPlainText(QStringLiteral("Pomoc"));
        address->addItems({QStringLiteral("0"), QStringLiteral("1")});
        panel.connectClickEntries();
    }
    QString key(const char* k) const { return texts.text(QLatin1String(k)); }
};

} // namespace

class TestHelpPanel : public QObject {
    Q_OBJECT
private slots:

    // A control inside a group shows its own entry; a nameless part of the group belongs to the
    // group; a named control without an entry changes nothing.
    void controlsInsideGroups() {
        Window w;
        moveOver(w.home0);
        QCOMPARE(w.memo->toPlainText(), w.key("IDS_205"));
        moveOver(w.homingNote);
        QCOMPARE(w.memo->document()->blockCount(), 4);
        QVERIFY(w.memo->toPlainText().startsWith(
            QStringLiteral("Konfiguracja trybu bazowania\nBazowanie proste")));
        moveOver(w.resolution);
        QCOMPARE(w.memo->document()->blockCount(), 4);
        // The spin box's own line edit is part of Edit_KP.
        moveOver(w.kp->findChild<QLineEdit*>());
        QCOMPARE(w.memo->toPlainText().section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("Wzmocnienie regulatora pozycji"));
    }

    // Moving over the same control again rewrites nothing; another entry does.
    void rewritesOnlyOnChange() {
        Window w;
        QSignalSpy changes(w.memo, &QPlainTextEdit::textChanged);
        for (int i = 0; i < 50; ++i)
            moveOver(w.sendProg);
        QCOMPARE(changes.count(), 1);
        moveOver(w.home0);
        QCOMPARE(changes.count(), 2);
        // Something else writes the panel; the next move shows the entry again.
        w.memo->setPlainText(QStringLiteral("Program "));
        moveOver(w.home0);
        QCOMPARE(w.memo->toPlainText(), w.key("IDS_205"));
    }

    void addressListOnClickOnly() {
        Window w;
        moveOver(w.address);
        QCOMPARE(w.memo->toPlainText(), QStringLiteral("Pomoc"));
        w.address->activated(1);
        QCOMPARE(w.memo->toPlainText(), w.key("IDS_213"));
    }

    void otherWindowsIgnored() {
        Window w;
        QWidget other;
        auto* button = named<QPushButton>(&other, "btn_SendProg");
        moveOver(button);
        QCOMPARE(w.memo->toPlainText(), QStringLiteral("Pomoc"));
    }

    // Every keyed line names a text of the main window's store; each control has one entry.
    void tableIsComplete() {
        TranslationStore texts(nullptr, QStringLiteral("TForm1"));
        QSet<QString> controls;
        for (const HelpEntry& e : helpEntries()) {
            QVERIFY2(!controls.contains(e.control), qPrintable(e.control));
            controls.insert(e.control);
            QVERIFY(!e.lines.isEmpty());
            for (const HelpLine& l : e.lines)
                QVERIFY2(l.key.isEmpty() ? !l.text.isEmpty() : !texts.text(l.key).isEmpty(),
                         qPrintable(e.control));
        }
        QCOMPARE(controls.size(), 22);
    }
};

QTEST_MAIN(TestHelpPanel)
#include "test_help_panel.moc"
