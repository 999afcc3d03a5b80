#include "app/TForm1.h"

#include "app/Artwork.h"
#include "app/StopButton.h"
#include "assist/Colors.h"
#include "assist/FileDialogInfo.h"
#include "assist/StatusBar.h"
#include "assist/TForm2.h"
#include "config/ConfigPage.h"
#include "control/ControlPage.h"
#include "encoder/TForm3.h"
#include "functions/FunctionsPage.h"
#include "link/Connection.h"
#include "link/TJvHidDeviceController.h"
#include "link/Transport.h"
#include "modbus/Rs485Page.h"
#include "program/ProgramPage.h"
#include "program/TFormProgress.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace kvt {

namespace {
constexpr int ClientWidth = 597;
constexpr int ClientHeight = 678; // below the menu bar
} // namespace

TForm1::TForm1(HidBackend& backend, DialogService& dialogs) : texts_(this, QStringLiteral("TForm1")) {
    setObjectName(QStringLiteral("TForm1"));
    context_.dialogs = &dialogs;
    context_.texts = &texts_;
    context_.mainWindow = this;

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(3, 2, 4, 0);
    column->setSpacing(1);
    auto* strip = new QWidget(central);
    strip->setObjectName(QStringLiteral("TopStrip"));
    buildTopStrip(strip);
    column->addWidget(strip, 1);
    buildPages(central);
    column->addWidget(PageControl1, 0, Qt::AlignLeft);

    MemoHelp = new QPlainTextEdit(central);
    MemoHelp->setObjectName(QStringLiteral("MemoHelp"));
    MemoHelp->setReadOnly(true);
    MemoHelp->setFocusPolicy(Qt::NoFocus);
    MemoHelp->setFixedSize(589, 81);
    MemoHelp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoHelp->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    MemoHelp->setPlainText(QStringLiteral("Pomoc"));
    setBackground(MemoHelp, colors::HelpPanel);
    column->addWidget(MemoHelp, 0, Qt::AlignLeft);
    setCentralWidget(central);

    // Panel 1 is as wide as the longest connection text in the font actually used (at least its
    // design width of 120 pixels); panel 0 gives up what panel 1 needs.
    int connectionWidth = 120;
    for (const char* text : {"Połączony z PXA-KVT", "Connected to PXA-KVT", "Rozłączony", "Disconnected"})
        connectionWidth =
            std::max(connectionWidth, fontMetrics().horizontalAdvance(QString::fromUtf8(text)) + 12);
    statusBar_ = new StatusBar({320 + 120 - connectionWidth, connectionWidth, 50}, this);
    statusBar_->setObjectName(QStringLiteral("StatusBar"));
    setStatusBar(statusBar_);
    context_.statusBar = statusBar_;
    buildMenu();

    DataTimer = new QTimer(this);
    DataTimer->setObjectName(QStringLiteral("DataTimer"));
    DataTimer->setInterval(200);

    OpenDialog2 = new FileDialogInfo(QStringLiteral("OpenDialog2"),
                                     QStringLiteral("Plik programu TX-PROG|*.txp"), this);
    OpenDialog2->fileName = QStringLiteral("program_data.txp");
    SaveDialog1 = new FileDialogInfo(QStringLiteral("SaveDialog1"),
                                     QStringLiteral("Plik programu TX-PROG|*.txp"), this);
    OpenDialog_Config = new FileDialogInfo(QStringLiteral("OpenDialog_Config"),
                                           QStringLiteral("KVT configuration file (kvt)|*kvt"), this);
    SaveDialog_Config = new FileDialogInfo(QStringLiteral("SaveDialog_Config"),
                                           QStringLiteral("KVT configuration file (kvt)|*kvt"), this);

    // The device link: transport and poll first, then the HID layer, whose first scan runs as
    // soon as the event loop does.
    transport_ = new Transport(context_, this);
    context_.transport = transport_;
    transport_->setPollView({PageControl1, TabSheet4, TabSheet5, TabSheet2->EditRx});
    connect(DataTimer, &QTimer::timeout, transport_, &Transport::DataTimerTimer);
    JvHidDeviceController1 = new TJvHidDeviceController(&backend, this);
    JvHidDeviceController1->setObjectName(QStringLiteral("JvHidDeviceController1"));
    Connection::View view;
    view.TextStatus = TextStatus;
    view.ListBox1 = ListBox1;
    view.DataTimer = DataTimer;
    view.pagesToEnable = {TabSheet4, TabSheet3, TabSheet2, TabSheet5};
    connection_ = new Connection(context_, *JvHidDeviceController1, view, this);
    connect(TabSheet3->btn_Reconnect, &QPushButton::clicked, connection_, &Connection::btn_ReconnectClick);

    // Fixed size: the client area below the menu bar, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    FormCreate();
}

TForm1::~TForm1() {
    // Removing the pages while the window is torn down must not run the page-change handler.
    disconnect(PageControl1, nullptr, this, nullptr);
    DataTimer->stop();
    // The link goes first, while the pages it writes into still exist.
    delete connection_;
    connection_ = nullptr;
    delete JvHidDeviceController1;
    JvHidDeviceController1 = nullptr;
}

void TForm1::buildTopStrip(QWidget* strip) {
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);

    GroupBox1 = new QGroupBox(strip);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* status = new QHBoxLayout(GroupBox1);
    status->setContentsMargins(6, 4, 6, 4);
    Label1 = new QLabel(QStringLiteral("Status:"), GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont labelFont = Label1->font();
    labelFont.setFamily(QStringLiteral("Verdana"));
    Label1->setFont(labelFont);
    TextStatus = new QLineEdit(QStringLiteral("Brak urządzenia"), GroupBox1);
    TextStatus->setObjectName(QStringLiteral("TextStatus"));
    TextStatus->setReadOnly(true);
    TextStatus->setFocusPolicy(Qt::NoFocus);
    Label3 = new QLabel(QStringLiteral("Temp:"), GroupBox1);
    Label3->setObjectName(QStringLiteral("Label3"));
    status->addWidget(Label1);
    status->addWidget(TextStatus, 1);
    status->addWidget(Label3);
    row->addWidget(GroupBox1, 1);

    siLangCombo1 = new QComboBox(strip);
    siLangCombo1->setObjectName(QStringLiteral("siLangCombo1"));
    siLangCombo1->addItem(artwork::languageFlag(0), QStringLiteral("Polski"));
    siLangCombo1->addItem(artwork::languageFlag(1), QStringLiteral("English"));
    siLangCombo1->setCurrentIndex(0);
    connect(siLangCombo1, &QComboBox::activated, this, &TForm1::siLangCombo1Change);
    row->addWidget(siLangCombo1, 0, Qt::AlignVCenter);

    JvXPButton4 = new StopButton(QStringLiteral("STOP"), strip);
    JvXPButton4->setObjectName(QStringLiteral("JvXPButton4"));
    JvXPButton4->setFixedSize(84, 50);
    row->addWidget(JvXPButton4, 0, Qt::AlignVCenter);

    // The scanned HID devices; never shown.
    ListBox1 = new QListWidget(strip);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->hide();
}

void TForm1::buildPages(QWidget* parent) {
    PageControl1 = new QTabWidget(parent);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setFixedSize(590, 521);
    PageControl1->setIconSize(QSize(32, 32));
    TabSheet4 = new ControlPage(context_, PageControl1);
    TabSheet3 = new ConfigPage(context_, PageControl1);
    TabSheet2 = new Rs485Page(context_, PageControl1);
    TabSheet5 = new ProgramPage(context_, PageControl1);
    TabSheet1 = new FunctionsPage(context_, PageControl1);
    PageControl1->addTab(TabSheet4, artwork::pageIcon(0), QStringLiteral("Sterowanie"));
    PageControl1->addTab(TabSheet3, artwork::pageIcon(1), QStringLiteral("Konfiguracja"));
    PageControl1->addTab(TabSheet2, artwork::pageIcon(2), QStringLiteral("RS485"));
    PageControl1->addTab(TabSheet5, artwork::pageIcon(3), QStringLiteral("Program"));
    PageControl1->addTab(TabSheet1, artwork::pageIcon(5), QStringLiteral("Funkcje"));
    PageControl1->setCurrentIndex(0);
    // Connected only now: adding the first tab already reports a page change.
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::PageControl1Change);
}

void TForm1::buildMenu() {
    QMenuBar* MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* configuration = MainMenu1->addMenu(QStringLiteral("Konfiguracja"));
    configuration->menuAction()->setObjectName(QStringLiteral("Konfiguracja1"));
    Odczytajzpliku1 = configuration->addAction(QStringLiteral("Odczytaj ustawienia z pliku"));
    Odczytajzpliku1->setObjectName(QStringLiteral("Odczytajzpliku1"));
    Zapiszdopliku1 = configuration->addAction(QStringLiteral("Zapisz ustawienia do pliku"));
    Zapiszdopliku1->setObjectName(QStringLiteral("Zapiszdopliku1"));
    QMenu* help = MainMenu1->addMenu(QStringLiteral("Pomoc"));
    help->menuAction()->setObjectName(QStringLiteral("Pomoc1"));
    Oprogramie1 = help->addAction(QStringLiteral("O programie"));
    Oprogramie1->setObjectName(QStringLiteral("Oprogramie1"));
    connect(Oprogramie1, &QAction::triggered, this, &TForm1::Oprogramie1Click);
}

void TForm1::attachWindows(TFormProgress* progress, TForm2* about, TForm3* encoderTest) {
    FormProgress = progress;
    Form2 = about;
    Form3 = encoderTest;
}

int TForm1::languageIndex() const {
    return siLangCombo1->currentIndex() + 1;
}

void TForm1::FormCreate() {
    // 1. No maximise: the window flags above leave it out.
    // 2. Caption.
    setWindowTitle(QStringLiteral("KVT-REVIZAREDUVA v") + QLatin1String(ProgramVersion));
    // 3. Header cells of the user-register grid.
    QTableWidget* grid = TabSheet2->StringGrid1;
    grid->item(0, 0)->setText(texts_.text(QStringLiteral("IDS_1")));
    for (int i = 0; i < 5; ++i) {
        grid->item(i + 1, 0)->setText(QStringLiteral("%1-%2").arg(50 + 10 * i).arg(59 + 10 * i));
        grid->item(0, i + 1)->setText(QStringLiteral("+ %1-%2").arg(2 * i).arg(2 * i + 1));
    }
    // 5. Program files live beside the program, in the program editor's build folder.
    QString directory = QCoreApplication::applicationDirPath();
    if (!directory.endsWith(QLatin1Char('/')))
        directory += QLatin1Char('/');
    context_.state.ApplicationDirectory = directory;
    OpenDialog2->initialDir = directory + QStringLiteral("TX_PROG/build");
    context_.state.ProgramFilePath = directory + QStringLiteral("TX_PROG/build/program_data.txp");
    // 7. The program file path in status panel 0.
    statusBar_->setPanelText(0, QDir::toNativeSeparators(context_.state.ProgramFilePath));
    // 8. Display precision.
    context_.state.DisplayDecimals = 3;
}

void TForm1::setHelp(const QString& key) {
    MemoHelp->setPlainText(texts_.text(key));
}

void TForm1::PageControl1Change() {
    QWidget* page = PageControl1->currentWidget();
    if (page == TabSheet4)
        setHelp(QStringLiteral("IDS_209"));
    else if (page == TabSheet2)
        setHelp(QStringLiteral("IDS_210"));
    else if (page == TabSheet5)
        setHelp(QStringLiteral("IDS_211"));
    // The Configuration and Functions pages leave the help panel as it is.
}

void TForm1::siLangCombo1Change() {
    texts_.setLanguage(languageIndex());
}

void TForm1::Oprogramie1Click() {
    if (!Form2)
        return;
    Form2->setWindowModality(Qt::WindowModal);
    Form2->open();
}

} // namespace kvt
