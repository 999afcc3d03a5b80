// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"

#include "app/Artwork.h"
#include "app/PageTabs.h"
#include "app/StopButton.h"
#include "app/TrendModule.h"
#include "assist/AboutWindow.h"
#include "assist/Colors.h"
#include "assist/DialogService.h"
#include "assist/FileDialogInfo.h"
#include "assist/HelpPanel.h"
#include "assist/StatusBar.h"
#include "config/ConfigFileActions.h"
#include "config/ConfigPage.h"
#include "control/ControlPage.h"
#include "encoder/EncoderTestWindow.h"
#include "functions/FunctionsPage.h"
#include "link/Connection.h"
#include "link/HidDeviceManager.h"
#include "link/Transport.h"
#include "modbus/Rs485Page.h"
#include "program/ProgramPage.h"
#include "program/ProgramTransfer.h"
#include "program/ProgressWindow.h"
#include "report/ReportDialog.h"
#include "shell/Acknowledgements.h"
#include "shell/AppState.h"
#include "shell/ConnectionDisplay.h"
#include "shell/Page.h"
#include "shell/Poller.h"
#include "trend/TrendView.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
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
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

namespace kvt {

namespace {
constexpr int ClientWidth = 597;
constexpr int ClientHeight = 678; // below the menu bar
constexpr int StartUpDeadlineMs = 500;

// Until a WindowFirst start-up has finished, any input that reaches the window finishes it first,
// so that whatever the input reaches finds the whole window. Watches the whole application.
class StartUpInputWatch : public QObject {
public:
    explicit StartUpInputWatch(MainWindow* window) : QObject(window), window_(window) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::TouchBegin:
        case QEvent::ContextMenu:
            if (watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == window_)
                window_->completeStartup(); // deletes this watch
            break;
        default:
            break;
        }
        return false;
    }

private:
    MainWindow* window_;
};
} // namespace

MainWindow::MainWindow(HidBackend& backend, DialogService& dialogs, StartUp startUp)
    : texts_(this, QStringLiteral("TForm1")), state_(new AppState(this)) {
    setObjectName(QStringLiteral("TForm1"));
    context_.state = state_;
    context_.dialogs = &dialogs;
    context_.texts = &texts_;
    context_.mainWindow = this;
    // The link exists before the pages, so they can subscribe to responses as they are built.
    link_ = new Transport(this);
    context_.link = link_;

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(3, 2, 4, 0);
    column->setSpacing(1);
    auto* strip = new QWidget(central);
    strip->setObjectName(QStringLiteral("TopStrip"));
    buildTopStrip(strip);
    column->addWidget(strip, 1);

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

    // What the file dialogs of the pages and the menu show.
    programOpenDialog_ = new FileDialogInfo(QStringLiteral("OpenDialog2"),
                                            QStringLiteral("Plik programu TX-PROG|*.txp"), this);
    programOpenDialog_->fileName = QStringLiteral("program_data.txp");
    programSaveDialog_ = new FileDialogInfo(QStringLiteral("SaveDialog1"),
                                            QStringLiteral("Plik programu TX-PROG|*.txp"), this);
    configOpenDialog_ = new FileDialogInfo(QStringLiteral("OpenDialog_Config"),
                                           QStringLiteral("KVT configuration file (kvt)|*kvt"), this);
    configSaveDialog_ = new FileDialogInfo(QStringLiteral("SaveDialog_Config"),
                                           QStringLiteral("KVT configuration file (kvt)|*kvt"), this);

    buildPages(central, startUp);
    column->addWidget(pages_, 0, Qt::AlignLeft);

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
    // The help entries of the pages' controls, shown as the pointer moves over them.
    helpPanel_ = new HelpPanel(MemoHelp, this, texts_);
    helpPanel_->connectClickEntries();
    buildMenu();

    buildLink(backend, startUp);

    // Fixed size: the client area below the menu bar, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    if (startUp == StartUp::WindowFirst)
        startUpInputWatch_ = new StartUpInputWatch(this);
    initialize();
    if (startupPending()) {
        installEventFilter(this); // the first paint
        // A window that is not painted soon (minimised, on another desktop) starts all the same.
        QTimer::singleShot(StartUpDeadlineMs, this, &MainWindow::completeStartup);
    }
}

void MainWindow::completeStartup() {
    if (!startupPending())
        return;
    removeEventFilter(this);
    QCoreApplication::instance()->removeEventFilter(startUpInputWatch_);
    startUpInputWatch_->deleteLater(); // it may be calling this
    startUpInputWatch_ = nullptr;
    for (int i = 0; i < pages_->count(); ++i) {
        auto* page = qobject_cast<Page*>(pages_->widget(i));
        if (page && page->ensureBuilt())
            helpPanel_->connectClickEntries(page);
    }
    initializePages();
    deviceManager_->start();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (startupPending() && watched == this && event->type() == QEvent::Paint) {
        // The whole window has been painted by the time queued calls run again.
        removeEventFilter(this);
        QMetaObject::invokeMethod(this, &MainWindow::completeStartup, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

MainWindow::~MainWindow() {
    delete startUpInputWatch_; // before the controls its input checks look at go
    startUpInputWatch_ = nullptr;
    // Removing the pages while the window is torn down must not run the page-change handler.
    disconnect(pages_, nullptr, this, nullptr);
    stopLink();
    // The link goes first, while the pages it writes into still exist.
    delete connection_;
    connection_ = nullptr;
    delete deviceManager_;
    deviceManager_ = nullptr;
}

void MainWindow::buildLink(HidBackend& backend, StartUp startUp) {
    // The HID layer's first scan runs as soon as the event loop does, or once the start-up has
    // finished: no report arrives before every page can take it.
    deviceManager_ = new HidDeviceManager(&backend, this,
                                          startUp == StartUp::Complete ? HidDeviceManager::Start::Now
                                                                       : HidDeviceManager::Start::Later);
    deviceManager_->setObjectName(QStringLiteral("JvHidDeviceController1"));
    connection_ = new Connection(*deviceManager_, *link_, this);
    ConnectionDisplay::View view;
    view.textStatus = TextStatus;
    view.deviceList = ListBox1;
    for (Page* page : allPages()) {
        if (page->enabledByConnection())
            view.pagesToEnable << page;
    }
    connectionDisplay_ = new ConnectionDisplay(context_, *connection_, view, this);
    poller_ = new Poller(context_, *connection_, pages_, this);
    acknowledgements_ = new Acknowledgements(context_, this);
    // Once a controller has been greeted the window adapts to its model.
    connect(connection_, &Connection::controllerGreeted, this, &MainWindow::adaptToModel);
    connect(stopButton_, &QPushButton::clicked, controlPage_, &ControlPage::stopMotor);
}

void MainWindow::adaptToModel(Model model) {
    const control::ModelProfile profile = control::profileFor(model);
    state_->setDisplayDecimals(profile.displayDecimals);
    state_->setFullScaleCurrent(float(profile.fullScaleCurrent));
    for (Page* page : allPages())
        page->adaptToModel(profile);
}

QList<Page*> MainWindow::allPages() const {
    QList<Page*> all;
    for (int i = 0; i < pages_->count(); ++i) {
        if (auto* page = qobject_cast<Page*>(pages_->widget(i)))
            all << page;
    }
    return all;
}

QTimer* MainWindow::pollTimer() const {
    return poller_->timer();
}

void MainWindow::stopLink() {
    if (poller_)
        poller_->timer()->stop();
    if (deviceManager_)
        deviceManager_->shutdownIo(0);
}

void MainWindow::buildTopStrip(QWidget* strip) {
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

    languageBox_ = new QComboBox(strip);
    languageBox_->setObjectName(QStringLiteral("siLangCombo1"));
    languageBox_->addItem(artwork::languageFlag(0), QStringLiteral("Polski"));
    languageBox_->addItem(artwork::languageFlag(1), QStringLiteral("English"));
    languageBox_->setCurrentIndex(0);
    connect(languageBox_, &QComboBox::activated, this, &MainWindow::applyLanguage);
    row->addWidget(languageBox_, 0, Qt::AlignVCenter);

    stopButton_ = new StopButton(QStringLiteral("STOP"), strip);
    stopButton_->setObjectName(QStringLiteral("JvXPButton4"));
    stopButton_->setFixedSize(84, 50);
    row->addWidget(stopButton_, 0, Qt::AlignVCenter);

    // The scanned HID devices; never shown.
    ListBox1 = new QListWidget(strip);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->hide();
}

void MainWindow::buildPages(QWidget* parent, StartUp startUp) {
    pages_ = new PageTabs(parent);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    pages_->setFixedSize(590, 521);
    pages_->setIconSize(QSize(32, 32));
    // The Control page is the one shown at start.
    const Page::Build hidden = startUp == StartUp::Complete ? Page::Build::Now : Page::Build::Later;
    controlPage_ = addPage(new ControlPage(context_, pages_), 0, "Sterowanie");
    configPage_ = addPage(new ConfigPage(context_, pages_, hidden), 1, "Konfiguracja");
    rs485Page_ = addPage(new Rs485Page(context_, pages_, hidden), 2, "RS485");
    programPage_ = addPage(new ProgramPage(context_, *programOpenDialog_, *programSaveDialog_, pages_, hidden), 3,
                           "Program");
    functionsPage_ = addPage(new FunctionsPage(context_, programPage_->transfer(), pages_, hidden), 5, "Funkcje");
    pages_->setCurrentIndex(0);

    // What the pages share beyond the application state.
    connect(configPage_, &ConfigPage::workingMotionReported, controlPage_, &ControlPage::showWorkingMotion);
    connect(programPage_, &ProgramPage::userRegistersRequested, rs485Page_, &Rs485Page::readUserRegisters);
    configFileActions_ = new ConfigFileActions(context_, *configPage_, *pages_, *configOpenDialog_,
                                               *configSaveDialog_, this);
    // Connected only now: adding the first tab already reports a page change.
    connect(pages_, &QTabWidget::currentChanged, this, &MainWindow::showPageHelp);
}

template <typename P> P* MainWindow::addPage(P* page, int icon, const char* caption) {
    pages_->addTab(page, artwork::pageIcon(icon), QString::fromUtf8(caption));
    connect(page, &Page::helpRequested, this, &MainWindow::setHelpLines);
    return page;
}

void MainWindow::buildMenu() {
    QMenuBar* mainMenu = menuBar();
    mainMenu->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* configuration = mainMenu->addMenu(QStringLiteral("Konfiguracja"));
    configuration->menuAction()->setObjectName(QStringLiteral("Konfiguracja1"));
    loadConfigAction_ = configuration->addAction(QStringLiteral("Odczytaj ustawienia z pliku"));
    loadConfigAction_->setObjectName(QStringLiteral("Odczytajzpliku1"));
    saveConfigAction_ = configuration->addAction(QStringLiteral("Zapisz ustawienia do pliku"));
    saveConfigAction_->setObjectName(QStringLiteral("Zapiszdopliku1"));
    connect(loadConfigAction_, &QAction::triggered, configFileActions_, &ConfigFileActions::loadSettingsFromFile);
    connect(saveConfigAction_, &QAction::triggered, configFileActions_, &ConfigFileActions::saveSettingsToFile);
    QMenu* tools = mainMenu->addMenu(QStringLiteral("Narzędzia"));
    tools->menuAction()->setObjectName(QStringLiteral("Narzedzia1"));
    trendAction_ = tools->addAction(QStringLiteral("Trendy i rejestracja..."));
    trendAction_->setObjectName(QStringLiteral("Trendy1"));
    connect(trendAction_, &QAction::triggered, this, &MainWindow::openTrends);
    reportAction_ = tools->addAction(QStringLiteral("Raport uruchomienia..."));
    reportAction_->setObjectName(QStringLiteral("Raport1"));
    reportAction_->setEnabled(state_->connected());
    connect(state_, &AppState::connectedChanged, reportAction_, &QAction::setEnabled);
    connect(reportAction_, &QAction::triggered, this, &MainWindow::openReport);
    // Encoder results are kept from the start, so a report made later has the last one.
    encoderResults_ = new EncoderResultMemory(context_, this);
    QMenu* help = mainMenu->addMenu(QStringLiteral("Pomoc"));
    help->menuAction()->setObjectName(QStringLiteral("Pomoc1"));
    aboutAction_ = help->addAction(QStringLiteral("O programie"));
    aboutAction_->setObjectName(QStringLiteral("Oprogramie1"));
    connect(aboutAction_, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::attachWindows(ProgressWindow* progress, AboutWindow* about, EncoderTestWindow* encoderTest) {
    progressWindow_ = progress;
    aboutWindow_ = about;
    encoderTestWindow_ = encoderTest;
    programPage_->transfer().setProgressWindow(progress);
    // The encoder test judges a result against the Configuration page's encoder settings, and
    // that page's "Testuj" opens it.
    encoderTest->setEncoderSource([page = configPage_] { return page->encoderSettings(); });
    connect(configPage_, &ConfigPage::encoderTestRequested, encoderTest, [encoderTest] {
        encoderTest->setWindowModality(Qt::WindowModal);
        encoderTest->open();
    });
}

int MainWindow::languageIndex() const {
    return languageBox_->currentIndex() + 1;
}

void MainWindow::chooseLanguage(int index) {
    if (index < 1 || index > languageBox_->count() || index == languageIndex())
        return;
    languageBox_->setCurrentIndex(index - 1);
    applyLanguage();
}

ProgramTransfer& MainWindow::programTransfer() {
    return programPage_->transfer();
}

void MainWindow::initialize() {
    // 1. No maximise: the window flags above leave it out.
    // 2. Caption.
    setWindowTitle(QStringLiteral("KVT-REVIZAREDUVA v") + QLatin1String(ProgramVersion));
    // 5. Program files live beside the program, in the program editor's build folder.
    QString directory = QCoreApplication::applicationDirPath();
    if (!directory.endsWith(QLatin1Char('/')))
        directory += QLatin1Char('/');
    state_->setApplicationDirectory(directory);
    programOpenDialog_->initialDir = directory + QStringLiteral("TX_PROG/build");
    state_->setProgramFilePath(directory + QStringLiteral("TX_PROG/build/program_data.txp"));
    // 3. and 6. fill the hidden pages, which a WindowFirst start-up builds later.
    if (!startupPending())
        initializePages();
    // 7. The program file path in status panel 0.
    statusBar_->setPanelText(0, QDir::toNativeSeparators(state_->programFilePath()));
    // 8. Display precision.
    state_->setDisplayDecimals(3);
}

void MainWindow::initializePages() {
    // 6. The default program file (its path set in step 5), loaded silently.
    programPage_->loadStartupProgram();
}

void MainWindow::setHelp(const QString& key) {
    MemoHelp->setPlainText(texts_.text(key));
}

void MainWindow::setHelpLines(const QStringList& lines) {
    if (lines.isEmpty())
        return;
    MemoHelp->setPlainText(lines.first());
    for (qsizetype i = 1; i < lines.size(); ++i)
        MemoHelp->appendPlainText(lines.at(i));
}

void MainWindow::showPageHelp() {
    // A page without a help text leaves the help panel as it is.
    if (const auto* page = qobject_cast<const Page*>(pages_->currentWidget()); page && !page->helpKey().isEmpty())
        setHelp(page->helpKey());
}

void MainWindow::applyLanguage() {
    texts_.setLanguage(languageIndex());
    for (int i = 0; i < pages_->count(); ++i) {
        if (auto* page = qobject_cast<Page*>(pages_->widget(i)))
            page->retranslate();
    }
    if (trendWindow_)
        trendWindow_->retranslate();
    if (reportDialog_)
        reportDialog_->retranslate();
}

void MainWindow::openTrends() {
    // Built on first use, its module (and Qt Charts) loaded only then.
    if (!trendWindow_) {
        const TrendModule::Found module = TrendModule::find();
        if (!module.create) {
            std::fprintf(stderr, "kvt-revizareduva: %s\n", qPrintable(module.error));
            context_.dialogs->message(this, DialogService::Icon::Error,
                                      texts_.text(QStringLiteral("TREND_MODULE_ERROR")).arg(module.error),
                                      texts_.text(QStringLiteral("TREND_TITLE")));
            return;
        }
        trendWindow_ = module.create(context_, *poller_, this);
    }
    trendWindow_->open();
}

void MainWindow::openReport() {
    // Built on first use, like the trend window.
    if (!reportDialog_) {
        ReportSources sources;
        sources.transfer = &programPage_->transfer();
        sources.encoder = encoderResults_;
        sources.trendRun = [this]() -> const trend::Run* { return trendWindow_ ? &trendWindow_->run() : nullptr; };
        sources.language = [this] { return languageIndex(); };
        reportDialog_ = new ReportDialog(context_, std::move(sources), this);
        reportDialog_->setWindowModality(Qt::WindowModal);
    }
    reportDialog_->retranslate();
    reportDialog_->open();
}

void MainWindow::showAbout() {
    if (!aboutWindow_)
        return;
    aboutWindow_->setWindowModality(Qt::WindowModal);
    aboutWindow_->open();
}

} // namespace kvt
