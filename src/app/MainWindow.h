// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "assist/TranslationStore.h"
#include "link/Model.h"
#include "shell/AppContext.h"

#include <QList>
#include <QMainWindow>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;

namespace kvt {

class AboutWindow;
class Acknowledgements;
class AppState;
class ConfigFileActions;
class ConfigPage;
class Connection;
class ConnectionDisplay;
class ControlPage;
class DialogService;
class EncoderTestWindow;
class FileDialogInfo;
class FunctionsPage;
class HelpPanel;
class HidBackend;
class HidDeviceManager;
class Page;
class Poller;
class ProgramTransfer;
class ProgramPage;
class ProgressWindow;
class ReportDialog;
class EncoderResultMemory;
class Rs485Page;
class StatusBar;
class Transport;
namespace trend {
class TrendView;
}

// The main window ("TForm1"): the top strip, the five pages, the help panel, the status bar and
// the menu, and the state every page shares with the device link.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // What is ready when the constructor returns. Complete: every page, the start-up steps and
    // the device layer. WindowFirst (the program's own start): the top strip and the shown page;
    // the hidden pages, the start-up steps that fill them and the device layer follow at once
    // after the window's first paint, before the first input that reaches the window earlier,
    // and half a second after the constructor at the latest.
    enum class StartUp { Complete, WindowFirst };

    MainWindow(HidBackend& backend, DialogService& dialogs, StartUp startUp = StartUp::Complete);
    ~MainWindow() override;

    // Finishes a WindowFirst start-up now; does nothing once it has finished.
    void completeStartup();

    // The secondary windows, created after the main window (program entry order).
    void attachWindows(ProgressWindow* progress, AboutWindow* about, EncoderTestWindow* encoderTest);

    AppContext& context() { return context_; }
    AppState& state() { return *state_; }
    TranslationStore& texts() { return texts_; }
    Transport& link() { return *link_; }
    Connection& connection() { return *connection_; }
    HidDeviceManager& deviceManager() { return *deviceManager_; }
    StatusBar& statusPanels() { return *statusBar_; }
    QTabWidget* pages() const { return pages_; }
    QTimer* pollTimer() const;
    Poller& poller() { return *poller_; }
    // The trend window, once it has been opened from the menu (its module loaded then).
    trend::TrendView* trendWindow() const { return trendWindow_; }
    // The language chosen in the language box: 1 Polish, 2 English.
    int languageIndex() const;
    // Chooses a language as the user does in the language box.
    void chooseLanguage(int index);
    // Narzędzia → "Trendy i rejestracja...": opens the trend window, loading its module first.
    void openTrends();
    Rs485Page& rs485Page() { return *rs485Page_; }
    ProgramTransfer& programTransfer();

    // Stops the poll and every device's I/O: the window then shows what it had, and sends and
    // receives nothing more.
    void stopLink();

    // The top strip's controls.
    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLineEdit* TextStatus;
    QLabel* Label3;
    QListWidget* ListBox1; // the scanned HID devices; never shown
    QPlainTextEdit* MemoHelp;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTopStrip(QWidget* parent);
    void buildPages(QWidget* parent, StartUp startUp);
    void buildMenu();
    void buildLink(HidBackend& backend, StartUp startUp);
    void initialize();
    void initializePages();
    bool startupPending() const { return startUpInputWatch_ != nullptr; }
    // Adds a page to the tabs and lets it write to the help panel; the one place a page is
    // registered (its help text and whether a connection enables it are its own).
    template <typename P> P* addPage(P* page, int icon, const char* caption);
    QList<Page*> allPages() const;
    // Every page shows the facts of the model that has just connected.
    void adaptToModel(Model model);
    void showPageHelp();
    void applyLanguage();
    void showAbout();
    void openReport();
    void setHelp(const QString& key);
    void setHelpLines(const QStringList& lines);

    TranslationStore texts_;
    AppState* state_;
    AppContext context_;
    QComboBox* languageBox_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QTabWidget* pages_ = nullptr;
    ControlPage* controlPage_ = nullptr;
    ConfigPage* configPage_ = nullptr;
    Rs485Page* rs485Page_ = nullptr;
    ProgramPage* programPage_ = nullptr;
    FunctionsPage* functionsPage_ = nullptr;
    StatusBar* statusBar_ = nullptr;
    HelpPanel* helpPanel_ = nullptr;
    QAction* loadConfigAction_ = nullptr;
    QAction* saveConfigAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QAction* trendAction_ = nullptr;
    QAction* reportAction_ = nullptr;
    FileDialogInfo* programOpenDialog_ = nullptr;
    FileDialogInfo* programSaveDialog_ = nullptr;
    FileDialogInfo* configOpenDialog_ = nullptr;
    FileDialogInfo* configSaveDialog_ = nullptr;
    ConfigFileActions* configFileActions_ = nullptr;
    Transport* link_ = nullptr;
    HidDeviceManager* deviceManager_ = nullptr;
    Connection* connection_ = nullptr;
    ConnectionDisplay* connectionDisplay_ = nullptr;
    Poller* poller_ = nullptr;
    Acknowledgements* acknowledgements_ = nullptr;
    ProgressWindow* progressWindow_ = nullptr;
    AboutWindow* aboutWindow_ = nullptr;
    EncoderTestWindow* encoderTestWindow_ = nullptr;
    trend::TrendView* trendWindow_ = nullptr; // built when first opened; a child of this window
    ReportDialog* reportDialog_ = nullptr;          // built when first opened
    EncoderResultMemory* encoderResults_ = nullptr;
    // While a WindowFirst start-up is not finished: input that finishes it before the first paint.
    QObject* startUpInputWatch_ = nullptr;
};

} // namespace kvt
