#pragma once

#include "assist/TranslationStore.h"
#include "link/AppContext.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;

namespace kvt {

class Connection;
class ConfigPage;
class ControlPage;
class DialogService;
class FileDialogInfo;
class FunctionsPage;
class HidBackend;
class ProgramPage;
class Rs485Page;
class StatusBar;
class TForm2;
class TForm3;
class TFormProgress;
class TJvHidDeviceController;
class Transport;

// The main window: the top strip, the five pages, the help panel, the status bar and the menu,
// and the state every page shares with the device link.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    TForm1(HidBackend& backend, DialogService& dialogs);
    ~TForm1() override;

    // The secondary windows, created after the main window (program entry order).
    void attachWindows(TFormProgress* progress, TForm2* about, TForm3* encoderTest);

    AppContext& context() { return context_; }
    TranslationStore& texts() { return texts_; }
    Transport& transport() { return *transport_; }
    TJvHidDeviceController& hidController() { return *JvHidDeviceController1; }
    Connection& connection() { return *connection_; }
    // The language chosen in the language box: 1 Polish, 2 English.
    int languageIndex() const;

    // Handlers.
    void FormCreate();
    void PageControl1Change();
    void siLangCombo1Change();
    void Oprogramie1Click();

    // Top strip.
    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLineEdit* TextStatus;
    QLabel* Label3;
    QComboBox* siLangCombo1;
    QPushButton* JvXPButton4;
    QListWidget* ListBox1;
    // Pages.
    QTabWidget* PageControl1;
    ControlPage* TabSheet4;
    ConfigPage* TabSheet3;
    Rs485Page* TabSheet2;
    ProgramPage* TabSheet5;
    FunctionsPage* TabSheet1;
    QPlainTextEdit* MemoHelp;
    StatusBar* statusBar_;
    // Menu.
    QAction* Odczytajzpliku1;
    QAction* Zapiszdopliku1;
    QAction* Oprogramie1;
    QTimer* DataTimer;
    FileDialogInfo* OpenDialog2;
    FileDialogInfo* SaveDialog1;
    FileDialogInfo* OpenDialog_Config;
    FileDialogInfo* SaveDialog_Config;

private:
    void buildTopStrip(QWidget* parent);
    void buildPages(QWidget* parent);
    void buildMenu();
    void setHelp(const QString& key);

    AppContext context_;
    TranslationStore texts_;
    TJvHidDeviceController* JvHidDeviceController1 = nullptr;
    Transport* transport_ = nullptr;
    Connection* connection_ = nullptr;
    TFormProgress* FormProgress = nullptr;
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
};

} // namespace kvt
