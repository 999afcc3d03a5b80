// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "modbus/core/FrameDecoder.h"
#include "shell/Page.h"

#include <QPointer>
#include <QStringList>
#include <deque>

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

class ModbusLinkGroup;
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
    // Decoded log lines and the filter lists are composed in the new language.
    void retranslate() override;

    // Asks the controller for its user registers once (command 106); the answer fills the grid
    // and the Program page's register fields and is not counted as a received frame. The Program
    // page's read button asks for it too.
    void readUserRegisters();

    QString helpKey() const override { return QStringLiteral("IDS_210"); }

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

    // The decoded view of the frame log: off, the log is the plain one above. On, every line gets
    // the frame's meaning, lines can be filtered by slave and function, frames with a bad CRC are
    // counted, and the frames shown can be saved to a capture file and read back from one.
    QCheckBox* cb_ModbusDecode = nullptr;
    QWidget* Panel_MbusBadCrc = nullptr; // Label_MbusBadCrc + EditMbusBadCrcCnt, beside the frame counter
    QLabel* Label_MbusBadCrc = nullptr;
    QLineEdit* EditMbusBadCrcCnt = nullptr;
    QWidget* Panel_MbusDecode = nullptr; // the filter and the capture buttons, under the preview's controls
    QLabel* Label_MbusSlave = nullptr;
    QComboBox* ComboBox_MbusSlave = nullptr;
    QLabel* Label_MbusFunction = nullptr;
    QComboBox* ComboBox_MbusFunction = nullptr;
    QPushButton* btn_MbusSaveLog = nullptr;
    QPushButton* btn_MbusOpenLog = nullptr;

    // Lines the frame log keeps; older ones drop off the top.
    static constexpr int FrameLogLines = 100000;

private:
    void buildContent() override;
    void applyModelProfile(const control::ModelProfile& profile) override;
    // The header cells of the register grid: a caption, the tens of each row, the units of each
    // column.
    void fillGridHeaders();
    QWidget* buildFrameLog();
    QGroupBox* buildRegisterView();

    void applyPreviewMode();
    void showRegisterView();
    void showFrameLog();
    void clearFrameLog();
    void selectRegisterCell(int column, int row);

    void logFrame(const Response& response);
    void flushFrameLog();
    void scheduleFlush();

    // Decoded view.
    struct SeenFrame {
        qint64 msecs = 0;
        QByteArray bytes;
        QString plainLine; // the line the plain log shows for it
    };
    struct ShownLine {
        QString text;
        bool error = false; // bad CRC or exception: shown in the error colour
    };
    void rememberFrame(SeenFrame frame);
    bool decoding() const;
    void applyDecoding();
    void rebuildLog();
    bool passesFilter(const modbus::DecodedFrame& frame) const;
    ShownLine decodedLine(const SeenFrame& seen, const modbus::DecodedFrame& frame) const;
    modbus::RegisterView registerView() const;
    void appendLines(const QList<ShownLine>& lines);
    void fillFilterLists();
    void showBadCrcCount();
    void saveLog();
    void openLog();
    void loadCapture(const QByteArray& file, const QString& path);
    void showRegisters(const Response& response);
    void countFrame(); // counts a frame and shows the count
    int ownModbusAddress() const;

    QStackedLayout* views_ = nullptr;
    QStringList pendingLines_; // frame log lines not yet in the log, their count not yet shown
    ModbusLinkGroup* linkGroup_ = nullptr;
    qint32 frameCount_ = 0;
    bool readRequested_ = false;

    std::deque<SeenFrame> seen_;        // the frames the log holds lines for, at most FrameLogLines
    modbus::FrameDecoder decoder_;      // pairs the answers among the frames arriving with requests
    modbus::DecodeTexts decodeTexts_;   // in the active language
    QList<ShownLine> pendingDecoded_;   // decoded lines not yet in the log
    bool flushScheduled_ = false;
    bool pendingCount_ = false; // frames counted but not yet shown
    qint32 badCrcCount_ = 0;
};

} // namespace kvt
