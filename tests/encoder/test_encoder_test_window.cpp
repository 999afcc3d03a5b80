#include "assist/Colors.h"
#include "assist/TranslationStore.h"
#include "encoder/EncoderTestWindow.h"
#include "link/Transport.h"
#include "shell/AppContext.h"

#include <QApplication>
#include <QButtonGroup>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace kvt;

namespace {

template <typename T> T* named(QWidget* parent, const char* name) {
    auto* w = new T(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

QByteArray result(qint32 count, quint8 verdict) {
    QByteArray b(6, '\0');
    b[0] = char(91);
    for (int i = 0; i < 4; ++i)
        b[1 + i] = char(quint32(count) >> (8 * i));
    b[5] = char(verdict);
    return b;
}

// The encoder controls of the Configuration page inside a main window, the link and the window.
struct Fixture {
    QWidget mainWindow;
    QRadioButton* none = named<QRadioButton>(&mainWindow, "RadioButton_EncOFF");
    QRadioButton* incremental = named<QRadioButton>(&mainWindow, "RadioButton_EncINKR");
    QRadioButton* absolute = named<QRadioButton>(&mainWindow, "RadioButton_EncABS");
    QRadioButton* ssi8 = named<QRadioButton>(&mainWindow, "CheckBox_SSI_8bit");
    QRadioButton* ssi10 = named<QRadioButton>(&mainWindow, "CheckBox_SSI_10bit");
    QRadioButton* ssi12 = named<QRadioButton>(&mainWindow, "CheckBox_SSI_12bit");
    QLineEdit* resolution = named<QLineEdit>(&mainWindow, "Edit_EncResol");
    QButtonGroup kinds, widths;
    TranslationStore texts{&mainWindow, QStringLiteral("TForm1")};
    Transport link;
    AppContext context;
    int language = 1;
    std::unique_ptr<EncoderTestWindow> window;

    Fixture() {
        mainWindow.setObjectName(QStringLiteral("TForm1"));
        for (QRadioButton* b : {none, incremental, absolute})
            kinds.addButton(b);
        for (QRadioButton* b : {ssi8, ssi10, ssi12})
            widths.addButton(b);
        ssi8->setChecked(true);
        context.link = &link;
        context.texts = &texts;
        context.mainWindow = &mainWindow;
        window = std::make_unique<EncoderTestWindow>(
            context, [this] { return language; }, &mainWindow);
    }
    void open() {
        window->setWindowModality(Qt::WindowModal);
        window->open();
    }
    QString memo() const { return window->Memo_Enc->toPlainText(); }
    QColor colour() const { return background(window->Memo_Enc); }
    QString key(const char* k) const { return texts.text(QLatin1String(k)); }
    void incrementalOf(const QString& pulses) {
        incremental->setChecked(true);
        resolution->setText(pulses);
    }
};

} // namespace

class TestEncoderTestWindow : public QObject {
    Q_OBJECT
private slots:
    // The window shows the instructions in the main window's language; every showing writes them
    // again and keeps the last verdict's colour.
    void instructionsOnEveryShowing() {
        Fixture f;
        f.open();
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.memo(),
                 QStringLiteral("Funkcja testowania pozwala okreslic poprawnosc podłączenia enkodera\n"
                                "Enkoder powinien byc sprzegnięty ze silnikiem krokowym.\n \n"
                                "Po wcisnieciu przycisku START silnik krokowy wykona pelen obrót."));
        f.link.receive(result(10, 1)); // red
        f.window->JvXPButton1->click();
        QVERIFY(!f.window->isVisible());
        f.language = 2;
        f.open();
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Encoder test"));
        QCOMPARE(f.window->JvXPButton1->text(), QStringLiteral("Close"));
        QVERIFY(f.memo().startsWith(QStringLiteral("Test function lets you specify")));
        QCOMPARE(f.memo().count(QLatin1Char('\n')), 3);
        QCOMPARE(f.colour(), colors::Failed);
        // START: "Test started" on the normal background.
        f.window->btn_EncoderTest->click();
        QCOMPARE(f.memo(), QStringLiteral("Test started"));
        QCOMPARE(f.colour(), QApplication::palette(f.window->Memo_Enc).color(QPalette::Base));
        f.window->close();
    }

    void incrementalTolerance() {
        Fixture f;
        f.incrementalOf(QStringLiteral("1000"));
        const QString correct = f.key("IDS_85") + QLatin1Char('\n') + f.key("IDS_86");
        f.link.receive(result(1005, 0));
        QCOMPARE(f.memo(), correct + QStringLiteral("1005"));
        QCOMPARE(f.colour(), colors::Connected);
        f.link.receive(result(1006, 0));
        QCOMPARE(f.memo(), correct + QStringLiteral("1006\n") + f.key("IDS_87"));
        QCOMPARE(f.colour(), colors::Warning);
        f.link.receive(result(994, 0));
        QCOMPARE(f.colour(), colors::Warning);
        f.link.receive(result(995, 0));
        QCOMPARE(f.colour(), colors::Connected);
    }

    // The settings count as they are when the result arrives, not when START was pressed.
    void settingsReadAtArrival() {
        Fixture f;
        f.incrementalOf(QStringLiteral("1000"));
        f.window->btn_EncoderTest->click();
        f.resolution->setText(QStringLiteral("2000"));
        f.link.receive(result(2000, 0));
        QCOMPARE(f.colour(), colors::Connected);
        f.absolute->setChecked(true);
        f.ssi10->setChecked(true);
        f.link.receive(result(1022, 0));
        QCOMPARE(f.memo(),
                 f.key("IDS_85") + QLatin1Char('\n') + f.key("IDS_86") + QStringLiteral("1022 (10 bit)"));
        QCOMPARE(f.colour(), colors::Connected);
        f.link.receive(result(1027, 0));
        QCOMPARE(f.memo(), f.key("IDS_86") + QStringLiteral("1027\n") + f.key("IDS_87"));
        QCOMPARE(f.colour(), colors::Warning);
        f.ssi12->setChecked(true);
        f.link.receive(result(4094, 0));
        QVERIFY(f.memo().endsWith(QStringLiteral("4094 (12 bit)")));
        f.link.receive(result(256, 0));
        QCOMPARE(f.colour(), colors::Warning);
    }

    // A resolution field without an integer: the count is shown with the warning, on orange.
    void resolutionNotANumber() {
        Fixture f;
        f.incrementalOf(QStringLiteral("1000x"));
        f.link.receive(result(1000, 0));
        QCOMPARE(f.memo(), f.key("IDS_85") + QLatin1Char('\n') + f.key("IDS_86") + QStringLiteral("1000\n") +
                               f.key("IDS_87"));
        QCOMPARE(f.colour(), colors::Warning);
    }

    void wiringFaultsAndUnknownVerdicts() {
        Fixture f;
        f.incrementalOf(QStringLiteral("1000"));
        f.link.receive(result(-1000, 1));
        QCOMPARE(f.memo(), f.key("IDS_90") + QLatin1Char('\n') + f.key("IDS_91"));
        QCOMPARE(f.colour(), colors::Failed);
        f.link.receive(result(0, 2));
        QCOMPARE(f.memo(), f.key("IDS_92") + QLatin1Char('\n') + f.key("IDS_93"));
        f.link.receive(result(1000, 3));
        QCOMPARE(f.memo(), f.key("IDS_92") + QLatin1Char('\n') + f.key("IDS_93"));
        QCOMPARE(f.colour(), colors::Failed);
    }

    void runningCount() {
        Fixture f;
        f.link.receive(QByteArray::fromHex("5a30f8ffff"));
        QCOMPARE(f.window->Edit_EncoderVal->text(), QStringLiteral("-2000"));
    }
};

QTEST_MAIN(TestEncoderTestWindow)
#include "test_encoder_test_window.moc"
