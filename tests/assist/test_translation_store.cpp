// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/FileDialogInfo.h"
#include "assist/TranslationStore.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

using kvt::TranslationStore;
using Section = TranslationStore::Section;

namespace {

QString readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The frame of the main window as far as its store names components.
struct MainWindow {
    QWidget window;
    QTabWidget* tabs = new QTabWidget(&window);
    QLabel* status;
    QLineEdit* textStatus = new QLineEdit(QStringLiteral("Brak urządzenia"), &window);
    QPlainTextEdit* memoHelp = new QPlainTextEdit(QStringLiteral("Pomoc"), &window);
    kvt::FileDialogInfo* openDialog = new kvt::FileDialogInfo(
        QStringLiteral("OpenDialog2"), QStringLiteral("Plik programu TX-PROG|*.txp"), &window);
    QComboBox* languages = new QComboBox(&window);

    MainWindow() {
        window.setObjectName(QStringLiteral("TForm1"));
        window.setWindowTitle(QStringLiteral("KVT-REVIZAREDUVA v1.30"));
        auto* group = new QGroupBox(&window);
        status = new QLabel(QStringLiteral("Status:"), group);
        status->setObjectName(QStringLiteral("Label1"));
        auto* temp = new QLabel(QStringLiteral("Temp:"), &window);
        temp->setObjectName(QStringLiteral("Label3"));
        auto* stop = new QPushButton(QStringLiteral("STOP"), &window);
        stop->setObjectName(QStringLiteral("JvXPButton4"));
        const QStringList pages{"TabSheet4", "TabSheet3", "TabSheet2", "TabSheet5", "TabSheet1"};
        const QStringList captions{"Sterowanie", "Konfiguracja", "RS485", "Program", "Funkcje"};
        for (qsizetype i = 0; i < pages.size(); ++i) {
            auto* page = new QWidget;
            page->setObjectName(pages[i]);
            tabs->addTab(page, captions[i]);
        }
        textStatus->setObjectName(QStringLiteral("TextStatus"));
        memoHelp->setObjectName(QStringLiteral("MemoHelp"));
        languages->setObjectName(QStringLiteral("siLangCombo1"));
        languages->addItems({QStringLiteral("Polski"), QStringLiteral("English")});
    }

    QStringList tabCaptions() const {
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions << tabs->tabText(i);
        return captions;
    }
    QString text(const char* name) const {
        auto* child = window.findChild<QWidget*>(QLatin1String(name));
        if (auto* label = qobject_cast<QLabel*>(child))
            return label->text();
        return qobject_cast<QAbstractButton*>(child)->text();
    }
};

} // namespace

class TestTranslationStore : public QObject {
    Q_OBJECT
private slots:
    void storesHoldExpectedTexts_data();
    void storesHoldExpectedTexts();
    void parseSkipsMalformedLines();
    void keyedLookupFallsBackToPolish();
    void mainWindowFollowsLanguage();
    void programTextsSurviveLanguageSwitch();
    void otherComponentKinds();
};

void TestTranslationStore::storesHoldExpectedTexts_data() {
    QTest::addColumn<QString>("store");
    for (const char* store : {"TForm1", "TForm2", "TForm3", "TFormProgress"})
        QTest::newRow(store) << QString::fromLatin1(store);
}

// Every keyed text of every store, character for character, in both directions; and every data
// line of the store's resource must parse (a broken line would silently lose its text).
void TestTranslationStore::storesHoldExpectedTexts() {
    QFETCH(QString, store);
    QMap<QString, QStringList> expected;
    for (const QString& line : readFile(QStringLiteral(KVT_EXPECTED_TEXTS)).split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (!line.startsWith(QLatin1Char('#')) && fields.size() == 4 && fields[0] == store)
            expected.insert(fields[1], {fields[2], fields[3]});
    }
    TranslationStore texts(nullptr, store);
    QVERIFY(!texts.entries().isEmpty());
    QMap<QString, QStringList> actual;
    for (const TranslationStore::Entry& entry : texts.entries()) {
        if (entry.section == Section::Keyed) {
            QVERIFY2(!actual.contains(entry.key), qPrintable(entry.key));
            actual.insert(entry.key, {entry.polish, entry.english});
        }
    }
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QVERIFY2(actual.contains(it.key()), qPrintable(it.key()));
        QCOMPARE(actual.value(it.key()), it.value());
    }
    // The IDS_<n> keys are exactly those expected; features beyond them (the trend window) bring
    // keys of their own names.
    QStringList numbered = actual.keys();
    numbered.removeIf([](const QString& key) {
        return !QRegularExpression(QStringLiteral("^IDS_\\d+$")).match(key).hasMatch();
    });
    QStringList expectedNumbered = expected.keys();
    expectedNumbered.removeIf([](const QString& key) {
        return !QRegularExpression(QStringLiteral("^IDS_\\d+$")).match(key).hasMatch();
    });
    QCOMPARE(numbered, expectedNumbered);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(texts.text(it.key()), it.value()[0]);
    QVERIFY(texts.setLanguage(TranslationStore::English));
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(texts.text(it.key()), it.value()[1].isEmpty() ? it.value()[0] : it.value()[1]);

    qsizetype dataLines = 0;
    for (const QString& line : readFile(QStringLiteral(":/texts/%1.tsv").arg(store)).split(QLatin1Char('\n')))
        dataLines += !line.isEmpty() && !line.startsWith(QLatin1Char('#'));
    QCOMPARE(texts.entries().size(), dataLines);
}

void TestTranslationStore::parseSkipsMalformedLines() {
    const QString content = QStringLiteral("# comment\tcaption\tA\tB\n"
                                           "\n"
                                           "caption\tLabel1\tStatus:\t\r\n"
                                           "caption\tToo\tfew\n"
                                           "caption\tToo\tmany\tfields\there\n"
                                           "colour\tLabel2\tczerwony\tred\n"
                                           "text\t\tno key\tno key\n"
                                           "text\tIDS_26\t A\\nB \t \n"
                                           "string");
    const QList<TranslationStore::Entry> entries = kvt::parseTextStore(content);
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0].section, Section::Captions);
    QCOMPARE(entries[0].key, QStringLiteral("Label1"));
    QCOMPARE(entries[0].english, QString());
    QCOMPARE(entries[1].section, Section::Keyed);
    QCOMPARE(entries[1].polish, QStringLiteral(" A\\nB "));
    QCOMPARE(entries[1].english, QStringLiteral(" "));
}

void TestTranslationStore::keyedLookupFallsBackToPolish() {
    TranslationStore texts(nullptr, QStringLiteral("TTestWindow"));
    QCOMPARE(texts.text(QStringLiteral("IDS_3")), QString());
    QVERIFY(texts.setLanguage(TranslationStore::English));
    QCOMPARE(texts.text(QStringLiteral("IDS_1")), QStringLiteral("Tylko polski"));
    QCOMPARE(texts.text(QStringLiteral("IDS_2")), QStringLiteral(" "));
    QCOMPARE(texts.text(QStringLiteral("IDS_3")), QStringLiteral("English only"));
    QCOMPARE(texts.text(QStringLiteral("IDS_99")), QString());
    // Property entries are not keyed texts.
    QCOMPARE(texts.text(QStringLiteral("Group")), QString());
}

void TestTranslationStore::mainWindowFollowsLanguage() {
    MainWindow w;
    TranslationStore texts(&w.window, QStringLiteral("TForm1"));
    QVERIFY(texts.setLanguage(TranslationStore::Polish));
    QVERIFY(!texts.setLanguage(0));
    QVERIFY(!texts.setLanguage(3));
    QCOMPARE(texts.language(), int(TranslationStore::Polish));

    QVERIFY(texts.setLanguage(TranslationStore::English));
    QCOMPARE(w.tabCaptions(), QStringList({"Control", "Configuration", "RS485", "Program", "Functions"}));
    QCOMPARE(w.text("Label1"), QStringLiteral("Status:"));
    QCOMPARE(w.text("Label3"), QStringLiteral("Temp:"));
    QCOMPARE(w.text("JvXPButton4"), QStringLiteral("STOP"));
    QCOMPARE(w.status->font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(w.textStatus->text(), QStringLiteral("No device"));
    QCOMPARE(w.memoHelp->toPlainText(), QStringLiteral("Help"));
    QCOMPARE(w.openDialog->filter, QStringLiteral("TX-PROG file|*.txp"));
    QCOMPARE(w.languages->itemText(0), QStringLiteral("Polski"));
    QCOMPARE(w.languages->itemText(1), QStringLiteral("English"));
    QCOMPARE(w.window.windowTitle(), QStringLiteral("KVT-REVIZAREDUVA v1.30"));

    const int pointSize = w.status->font().pointSize();
    QVERIFY(texts.setLanguage(TranslationStore::Polish));
    QCOMPARE(w.tabCaptions(), QStringList({"Sterowanie", "Konfiguracja", "RS485", "Program", "Funkcje"}));
    QCOMPARE(w.status->font().family(), QStringLiteral("Verdana"));
    QCOMPARE(w.status->font().pointSize(), pointSize);
    QCOMPARE(w.textStatus->text(), QStringLiteral("Brak urządzenia"));
    QCOMPARE(w.memoHelp->toPlainText(), QStringLiteral("Pomoc"));
    QCOMPARE(w.openDialog->filter, QStringLiteral("Plik programu TX-PROG|*.txp"));
}

// The connection text and the help panel's current text are the program's, not the window's
// initial texts, so a language switch leaves them alone.
void TestTranslationStore::programTextsSurviveLanguageSwitch() {
    MainWindow w;
    TranslationStore texts(&w.window, QStringLiteral("TForm1"));
    w.textStatus->setText(QStringLiteral("Połączony z KVT318"));
    w.memoHelp->setPlainText(QStringLiteral("Zmiana predkosci transmisji interfejsu RS485.\nUWAGA"));
    QVERIFY(texts.setLanguage(TranslationStore::English));
    QCOMPARE(w.textStatus->text(), QStringLiteral("Połączony z KVT318"));
    QCOMPARE(w.memoHelp->toPlainText(),
             QStringLiteral("Zmiana predkosci transmisji interfejsu RS485.\nUWAGA"));
    w.textStatus->setText(QStringLiteral("Brak urządzenia"));
    QVERIFY(texts.setLanguage(TranslationStore::Polish));
    QCOMPARE(w.textStatus->text(), QStringLiteral("Brak urządzenia"));
    QCOMPARE(w.memoHelp->toPlainText(),
             QStringLiteral("Zmiana predkosci transmisji interfejsu RS485.\nUWAGA"));
}

void TestTranslationStore::otherComponentKinds() {
    QWidget window;
    window.setObjectName(QStringLiteral("TTestWindow"));
    auto* group = new QGroupBox(QStringLiteral("Grupa"), &window);
    group->setObjectName(QStringLiteral("Group"));
    auto* action = new QAction(QStringLiteral("Akcja"), &window);
    action->setObjectName(QStringLiteral("Action"));
    auto* edit = new QLineEdit(group);
    edit->setObjectName(QStringLiteral("Edit"));
    auto* rich = new QTextEdit(&window);
    rich->setObjectName(QStringLiteral("Rich"));
    rich->setPlainText(QStringLiteral("Opis"));
    auto* info = new kvt::FileDialogInfo(QStringLiteral("Info"), QString(), &window);
    auto* combo = new QComboBox(&window);
    combo->setObjectName(QStringLiteral("Combo"));
    combo->addItems({QStringLiteral("Jeden"), QStringLiteral("Dwa")});

    TranslationStore texts(&window, QStringLiteral("TTestWindow"));
    QVERIFY(texts.setLanguage(TranslationStore::English));
    QCOMPARE(window.windowTitle(), QStringLiteral("Window"));
    QCOMPARE(group->title(), QStringLiteral("Group"));
    QCOMPARE(action->text(), QStringLiteral("Action"));
    QCOMPARE(edit->toolTip(), QStringLiteral("Hint"));
    QCOMPARE(rich->toPlainText(), QStringLiteral("Description"));
    QCOMPARE(info->initialDir, QStringLiteral("folder"));
    QVERIFY(!info->property("Missing").isValid());
    QCOMPARE(combo->itemText(1), QStringLiteral("Two"));
    QCOMPARE(combo->count(), 2);
}

QTEST_MAIN(TestTranslationStore)
#include "test_translation_store.moc"
