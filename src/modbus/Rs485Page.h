#pragma once

#include "shell/Page.h"

#include <QPointer>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedLayout;
class QTableWidget;
class QVBoxLayout;

namespace kvt {

struct Response;

// The RS485 page ("TabSheet2"): the Modbus link settings above, and below them the preview of the
// Modbus traffic the controller receives, with its two views in one place: the frame log and the
// table of user registers 50..99.
class Rs485Page : public Page {
    Q_OBJECT
public:
    Rs485Page(AppContext& context, QWidget* parent = nullptr, Build build = Build::Now);

    // The receive indicator goes back to normal on every tick.
    void pollTick() override;

    // Asks the controller for its user registers once (command 106); the answer fills the grid
    // and the Program page's register fields and is not counted as a received frame. The Program
    // page's read button calls it too.
    Q_INVOKABLE void readUserRegisters();

    // The Modbus link settings group goes here, above the preview.
    QVBoxLayout* linkSettingsArea;

    // Group "Podgląd transmisji MODBUS-RTU".
    QGroupBox* GroupBox16;
    QCheckBox* CheckBox_ModbusPrev;
    QLineEdit* EditRx; // Modbus receive indicator, lit by received frames
    QLabel* Label30;
    QLineEdit* EditMbusFrameCnt;
    QPlainTextEdit* MemoMbusTrans; // the frame log: the most recent lines only
    QPushButton* btn_MbusPrevievClear;
    QPushButton* btn_DispUserRegi;
    QPushButton* btn_DispModbusReg;
    QGroupBox* UserRegisters;  // the register view, in the place of the frame log
    QTableWidget* StringGrid1; // user registers R50..R99; row 0 and column 0 are header cells
    QLabel* Label37;
    QLabel* LabelSelectUserReg;
    QLabel* Label40;
    QLabel* Label38;
    QLabel* Label_REGVAL;
    QRadioButton* RadioButton_REAL;
    QRadioButton* RadioButton_DWORD;
    QPushButton* btn_ReadUserRegister;

    // Lines the frame log keeps; older ones drop off the top.
    static constexpr int FrameLogLines = 100000;

private:
    void buildContent() override;
    QWidget* buildFrameLog();
    QGroupBox* buildRegisterView();

    void applyPreviewMode();
    void showRegisterView();
    void showFrameLog();
    void clearFrameLog();
    void selectRegisterCell(int column, int row);

    void logFrame(const Response& response);
    void flushFrameLog();
    void showRegisters(const Response& response);
    void countFrame(); // counts a frame and shows the count
    int ownModbusAddress() const;

    QStackedLayout* views_ = nullptr;
    QStringList pendingLines_; // frame log lines not yet in the log, their count not yet shown
    mutable QPointer<QComboBox> modbusAddress_; // the link settings' address list, found once
    qint32 frameCount_ = 0;
    bool readRequested_ = false;
};

} // namespace kvt
