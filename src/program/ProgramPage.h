// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "program/core/ProgramFile.h"
#include "program/core/ProgramTransfer.h"
#include "shell/Page.h"

#include <QList>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kvt {

class FileDialogInfo;
class ProgramTransfer;
struct Response;

// The Program page ("TabSheet5"): the program file and its summary, sending the program to the
// controller and reading it back, running it, and the user registers R50..R96.
class ProgramPage : public Page {
    Q_OBJECT
public:
    // The program file is opened and saved as `openDialog` and `saveDialog` describe.
    ProgramPage(AppContext& context, const FileDialogInfo& openDialog, const FileDialogInfo& saveDialog,
                QWidget* parent = nullptr, Build build = Build::Now);

    QString helpKey() const override { return QStringLiteral("IDS_211"); }

    std::optional<quint8> pollRequest() const override;

    ProgramTransfer& transfer() { return *transfer_; }

    // Loads the program of the selected address from the current program file into the store and
    // shows it; nothing changes unless the file could be read.
    program::LoadResult loadProgramFile();
    // Start-up: the default program file, loaded silently.
    void loadStartupProgram();

    // Group "Programowanie".
    QGroupBox* GroupBoxProgramming;
    QPushButton* btn_ProgOpen;
    QPushButton* btn_SaveProg;
    QComboBox* ComboBoxModulNumer;
    QLineEdit* EditProgSize;
    QLineEdit* EditProgMemory;
    QLabel* LabelFileName;
    QPlainTextEdit* MemoProgram; // the listing; never shown
    QPushButton* btn_SendProg;
    QPushButton* JvXPButton3; // read back
    QPushButton* btn_TxProg;

    // Group "Sterowanie programem".
    QPushButton* btn_ProgStart;
    QPushButton* btn_StopProg;
    QPushButton* btn_ProgPause;
    QLineEdit* Edit_ProgramStatus;

    // Group of the user registers: the edits editR50..editR96 and their buttons.
    QList<QLineEdit*> registerEdits;
    QList<QPushButton*> registerButtons;
    QPushButton* btn_ReadUserReg;
    QPushButton* btn_saveUserReg;

signals:
    // "Odczytaj" of the user registers: the RS485 page owns the read, so that its answer is not
    // counted as a received Modbus frame. Without a receiver the page reads them itself.
    void userRegistersRequested();

private:
    void buildContent() override;
    QGroupBox* buildProgramming();
    QGroupBox* buildRunControl();
    QGroupBox* buildRegisters();

    void showLoadedProgram(const program::ProgramFileLoad& load);
    void showListing();
    void openProgramFile();
    void selectAddress();
    void saveProgramFile();
    void sendProgram();
    void readBackProgram();
    void startProgram();
    void stopProgram();
    void pauseProgram();
    void setUserRegister(int index); // of registerEdits
    void readUserRegisters();
    void saveUserRegisters();
    void launchEditor();

    void showRunState(const Response& response);
    void showRegisters(const Response& response);
    void showReadBackStep(const program::ReadBackStep& step);
    void information(const QString& text, const QString& caption);

    ProgramTransfer* transfer_;
    const FileDialogInfo& openDialog_;
    const FileDialogInfo& saveDialog_;
};

} // namespace kvt
