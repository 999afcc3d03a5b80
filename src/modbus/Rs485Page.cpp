// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/Rs485Page.h"

#include "assist/Colors.h"
#include "link/OpCode.h"
#include "link/Transport.h"
#include "modbus/ModbusLinkGroup.h"
#include "modbus/core/Crc.h"
#include "modbus/core/FramePreview.h"
#include "modbus/core/UserRegisters.h"
#include "shell/AppContext.h"
#include "shell/AppState.h"
#include "shell/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStackedLayout>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace kvt {

namespace {

// Where the decoded view's switch is kept between runs.
QSettings decodeSettings() {
    return QSettings(QStringLiteral("kvt-revizareduva"), QStringLiteral("rs485"));
}
const QString DecodeKey = QStringLiteral("decode");

} // namespace

Rs485Page::Rs485Page(AppContext& context, QWidget* parent, Build build)
    : Page(context, QStringLiteral("TabSheet2"), parent) {
    if (build == Build::Now)
        ensureBuilt();
}

void Rs485Page::buildContent() {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    linkSettingsArea = new QVBoxLayout;
    linkSettingsArea->setContentsMargins(0, 0, 0, 0);
    column->addLayout(linkSettingsArea);
    linkGroup_ = new ModbusLinkGroup(context_, this);
    connect(linkGroup_, &ModbusLinkGroup::helpRequested, this, &Page::helpRequested);
    linkSettingsArea->addWidget(linkGroup_);

    GroupBox16 = new QGroupBox(QStringLiteral("Podgląd transmisji MODBUS-RTU"), this);
    GroupBox16->setObjectName(QStringLiteral("GroupBox16"));
    column->addWidget(GroupBox16, 1);

    auto* inner = new QVBoxLayout(GroupBox16);
    inner->setContentsMargins(4, 4, 4, 4);
    inner->setSpacing(4);
    inner->addWidget(buildFrameLog());
    inner->addWidget(Panel_MbusDecode);
    auto* viewArea = new QWidget(GroupBox16);
    views_ = new QStackedLayout(viewArea);
    views_->setContentsMargins(0, 0, 0, 0);
    views_->addWidget(MemoMbusTrans);
    views_->addWidget(buildRegisterView());
    fillGridHeaders();
    views_->setCurrentWidget(MemoMbusTrans);
    inner->addWidget(viewArea, 1);

    cb_ModbusDecode->setChecked(decodeSettings().value(DecodeKey, false).toBool());
    retranslate();
    applyDecoding();

    context_.link->subscribe(op::ModbusFrame, this, [this](const Response& r) { logFrame(r); });
    context_.link->subscribe(op::ReadRegisters, this, [this](const Response& r) { showRegisters(r); });
}

QWidget* Rs485Page::buildFrameLog() {
    auto* controls = new QWidget(GroupBox16);
    CheckBox_ModbusPrev = new QCheckBox(QStringLiteral("Aktywuj podgląd"), controls);
    CheckBox_ModbusPrev->setObjectName(QStringLiteral("CheckBox_ModbusPrev"));
    EditRx = new QLineEdit(QStringLiteral("Rx"), controls);
    EditRx->setObjectName(QStringLiteral("EditRx"));
    EditRx->setReadOnly(true);
    EditRx->setEnabled(false);
    EditRx->setAlignment(Qt::AlignCenter);
    EditRx->setFixedWidth(EditRx->fontMetrics().horizontalAdvance(QStringLiteral("Rx")) + 20);
    Label30 = makeLabel(controls, QStringLiteral("Label30"), QStringLiteral("Odebranych ramek:"));
    EditMbusFrameCnt = new QLineEdit(QStringLiteral("0"), controls);
    EditMbusFrameCnt->setObjectName(QStringLiteral("EditMbusFrameCnt"));
    EditMbusFrameCnt->setReadOnly(true);
    EditMbusFrameCnt->setFixedWidth(
        EditMbusFrameCnt->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
    btn_MbusPrevievClear =
        makeButton(controls, QStringLiteral("btn_MbusPrevievClear"), QStringLiteral("Wyczysc"));
    btn_DispUserRegi = makeButton(controls, QStringLiteral("btn_DispUserRegi"), QStringLiteral("Tablica rejestrów użytkownika"));
    btn_DispModbusReg =
        makeButton(controls, QStringLiteral("btn_DispModbusReg"), QStringLiteral("Podgląd ramek MODBUS"));
    btn_DispModbusReg->hide();

    cb_ModbusDecode = new QCheckBox(QStringLiteral("Dekoduj"), controls);
    cb_ModbusDecode->setObjectName(QStringLiteral("cb_ModbusDecode"));
    Panel_MbusBadCrc = new QWidget(controls);
    Panel_MbusBadCrc->setObjectName(QStringLiteral("Panel_MbusBadCrc"));
    Label_MbusBadCrc = makeLabel(Panel_MbusBadCrc, QStringLiteral("Label_MbusBadCrc"), QStringLiteral("Błędne CRC:"));
    EditMbusBadCrcCnt = new QLineEdit(QStringLiteral("0"), Panel_MbusBadCrc);
    EditMbusBadCrcCnt->setObjectName(QStringLiteral("EditMbusBadCrcCnt"));
    EditMbusBadCrcCnt->setReadOnly(true);
    EditMbusBadCrcCnt->setFixedWidth(EditMbusFrameCnt->width());
    auto* badCrc = new QHBoxLayout(Panel_MbusBadCrc);
    badCrc->setContentsMargins(0, 0, 0, 0);
    badCrc->setSpacing(6);
    badCrc->addStretch(1);
    badCrc->addWidget(Label_MbusBadCrc);
    badCrc->addWidget(EditMbusBadCrcCnt);

    Panel_MbusDecode = new QWidget(GroupBox16);
    Panel_MbusDecode->setObjectName(QStringLiteral("Panel_MbusDecode"));
    Label_MbusSlave = makeLabel(Panel_MbusDecode, QStringLiteral("Label_MbusSlave"), QStringLiteral("Adres:"));
    ComboBox_MbusSlave = new QComboBox(Panel_MbusDecode);
    ComboBox_MbusSlave->setObjectName(QStringLiteral("ComboBox_MbusSlave"));
    Label_MbusFunction =
        makeLabel(Panel_MbusDecode, QStringLiteral("Label_MbusFunction"), QStringLiteral("Funkcja:"));
    ComboBox_MbusFunction = new QComboBox(Panel_MbusDecode);
    ComboBox_MbusFunction->setObjectName(QStringLiteral("ComboBox_MbusFunction"));
    btn_MbusSaveLog = makeButton(Panel_MbusDecode, QStringLiteral("btn_MbusSaveLog"), QStringLiteral("Zapisz log..."));
    btn_MbusOpenLog = makeButton(Panel_MbusDecode, QStringLiteral("btn_MbusOpenLog"), QStringLiteral("Otwórz log..."));
    auto* filter = new QHBoxLayout(Panel_MbusDecode);
    filter->setContentsMargins(0, 0, 0, 0);
    filter->setSpacing(6);
    filter->addWidget(Label_MbusSlave);
    filter->addWidget(ComboBox_MbusSlave);
    filter->addWidget(Label_MbusFunction);
    filter->addWidget(ComboBox_MbusFunction, 1);
    filter->addWidget(btn_MbusSaveLog);
    filter->addWidget(btn_MbusOpenLog);

    MemoMbusTrans = new QPlainTextEdit(GroupBox16);
    MemoMbusTrans->setObjectName(QStringLiteral("MemoMbusTrans"));
    MemoMbusTrans->setReadOnly(true);
    MemoMbusTrans->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoMbusTrans->setLineWrapMode(QPlainTextEdit::NoWrap);
    // A preview left running for a shift keeps the most recent lines only.
    MemoMbusTrans->setMaximumBlockCount(FrameLogLines);
    MemoMbusTrans->setUndoRedoEnabled(false);

    auto* grid = new QGridLayout(controls);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->addWidget(CheckBox_ModbusPrev, 0, 0);
    grid->addWidget(EditRx, 0, 1);
    grid->addWidget(Label30, 0, 3, Qt::AlignRight);
    grid->addWidget(EditMbusFrameCnt, 0, 4);
    grid->addWidget(btn_MbusPrevievClear, 1, 0);
    grid->addWidget(btn_DispUserRegi, 1, 3, 1, 2);
    grid->addWidget(btn_DispModbusReg, 1, 3, 1, 2);
    grid->addWidget(Panel_MbusBadCrc, 0, 2);
    grid->addWidget(cb_ModbusDecode, 1, 1, 1, 2);
    grid->setColumnStretch(2, 1);

    connect(CheckBox_ModbusPrev, &QCheckBox::clicked, this, &Rs485Page::applyPreviewMode);
    connect(btn_MbusPrevievClear, &QPushButton::clicked, this, &Rs485Page::clearFrameLog);
    connect(btn_DispUserRegi, &QPushButton::clicked, this, &Rs485Page::showRegisterView);
    connect(btn_DispModbusReg, &QPushButton::clicked, this, &Rs485Page::showFrameLog);
    connect(cb_ModbusDecode, &QCheckBox::clicked, this, [this] {
        decodeSettings().setValue(DecodeKey, cb_ModbusDecode->isChecked());
        applyDecoding();
    });
    connect(ComboBox_MbusSlave, &QComboBox::activated, this, &Rs485Page::rebuildLog);
    connect(ComboBox_MbusFunction, &QComboBox::activated, this, &Rs485Page::rebuildLog);
    connect(btn_MbusSaveLog, &QPushButton::clicked, this, &Rs485Page::saveLog);
    connect(btn_MbusOpenLog, &QPushButton::clicked, this, &Rs485Page::openLog);
    return controls;
}

QGroupBox* Rs485Page::buildRegisterView() {
    UserRegisters = new QGroupBox(QStringLiteral("Rejestry użytkownika (adr. 50...150)"), GroupBox16);
    UserRegisters->setObjectName(QStringLiteral("UserRegisters"));

    StringGrid1 = new QTableWidget(modbus::GridSize, modbus::GridSize, UserRegisters);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int row = 0; row < modbus::GridSize; ++row) {
        for (int col = 0; col < modbus::GridSize; ++col) {
            auto* item = new QTableWidgetItem;
            // Row 0 and column 0 hold the headers, shaded like fixed cells and not selectable.
            if (row == 0 || col == 0) {
                item->setBackground(palette().button());
                item->setFlags(Qt::ItemIsEnabled);
            }
            StringGrid1->setItem(row, col, item);
        }
    }
    // Every cell visible at once, without scroll bars; a data column holds the longest value
    // text, a negative single in scientific notation. A slightly smaller font lets five of them
    // fit the page's width.
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont gridFont = StringGrid1->font();
    gridFont.setPointSizeF(gridFont.pointSizeF() * 0.9);
    StringGrid1->setFont(gridFont);
    const QFontMetrics metrics(gridFont);
    const int rowHeight = metrics.height() + 6;
    const int headerWidth = metrics.horizontalAdvance(QStringLiteral("Registers")) + 10;
    const int valueWidth = metrics.horizontalAdvance(QStringLiteral("-8.8888888E-38")) + 8;
    for (int row = 0; row < modbus::GridSize; ++row)
        StringGrid1->setRowHeight(row, rowHeight);
    StringGrid1->setColumnWidth(0, headerWidth);
    for (int col = 1; col < modbus::GridSize; ++col)
        StringGrid1->setColumnWidth(col, valueWidth);
    const int frame = 2 * StringGrid1->frameWidth();
    StringGrid1->setFixedSize(headerWidth + 5 * valueWidth + frame, 6 * rowHeight + frame);

    Label37 =
        makeLabel(UserRegisters, QStringLiteral("Label37"), QStringLiteral("Zaznaczony rejestr MODBUS: "));
    LabelSelectUserReg =
        makeLabel(UserRegisters, QStringLiteral("LabelSelectUserReg"), QStringLiteral("50-51"));
    LabelSelectUserReg->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("88-88")) + 4);
    Label40 = makeLabel(UserRegisters, QStringLiteral("Label40"), QStringLiteral("->"));
    Label38 = makeLabel(UserRegisters, QStringLiteral("Label38"), QStringLiteral("Wartosc:"));
    Label_REGVAL = makeLabel(UserRegisters, QStringLiteral("Label_REGVAL"), QStringLiteral("0"));
    Label_REGVAL->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-8.8888888E-38")) + 4);
    RadioButton_REAL = new QRadioButton(QStringLiteral("REAL"), UserRegisters);
    RadioButton_REAL->setObjectName(QStringLiteral("RadioButton_REAL"));
    RadioButton_REAL->setChecked(true);
    RadioButton_DWORD = new QRadioButton(QStringLiteral("DWORD"), UserRegisters);
    RadioButton_DWORD->setObjectName(QStringLiteral("RadioButton_DWORD"));
    btn_ReadUserRegister =
        makeButton(UserRegisters, QStringLiteral("btn_ReadUserRegister"), QStringLiteral("Odczytaj"));

    auto* selection = new QHBoxLayout;
    selection->setSpacing(4);
    selection->addWidget(Label37);
    selection->addWidget(LabelSelectUserReg);
    selection->addWidget(Label40);
    selection->addWidget(Label38);
    selection->addWidget(Label_REGVAL);
    selection->addStretch(1);
    auto* options = new QHBoxLayout;
    options->addWidget(RadioButton_REAL);
    options->addWidget(RadioButton_DWORD);
    options->addStretch(1);
    options->addWidget(btn_ReadUserRegister);
    auto* column = new QVBoxLayout(UserRegisters);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(4);
    column->addWidget(StringGrid1, 0, Qt::AlignHCenter);
    column->addLayout(selection);
    column->addLayout(options);
    column->addStretch(1);

    connect(StringGrid1, &QTableWidget::cellClicked, this,
            [this](int row, int col) { selectRegisterCell(col, row); });
    connect(StringGrid1, &QTableWidget::currentCellChanged, this,
            [this](int row, int col) { selectRegisterCell(col, row); });
    connect(btn_ReadUserRegister, &QPushButton::clicked, this, &Rs485Page::readUserRegisters);
    return UserRegisters;
}

void Rs485Page::pollTick() {
    if (background(EditRx) == colors::ModbusRx)
        resetBackground(EditRx);
}

// ---- Preview mode and views ----------------------------------------------------------------

void Rs485Page::applyPreviewMode() {
    using modbus::PreviewMode;
    PreviewMode mode = PreviewMode::Off;
    if (CheckBox_ModbusPrev->isChecked())
        mode = views_->currentWidget() == UserRegisters ? PreviewMode::Registers : PreviewMode::Frames;
    context_.link->send(modbus::encodePreviewMode(mode));
}

void Rs485Page::showRegisterView() {
    views_->setCurrentWidget(UserRegisters);
    btn_DispModbusReg->show();
    btn_DispUserRegi->hide();
    CheckBox_ModbusPrev->setChecked(true);
    applyPreviewMode();
}

void Rs485Page::showFrameLog() {
    views_->setCurrentWidget(MemoMbusTrans);
    btn_DispModbusReg->hide();
    btn_DispUserRegi->show();
    CheckBox_ModbusPrev->setChecked(true);
    applyPreviewMode();
}

void Rs485Page::clearFrameLog() {
    // The counter field keeps its text until the next frame is counted.
    MemoMbusTrans->clear();
    pendingLines_.clear();
    pendingDecoded_.clear();
    pendingCount_ = false;
    seen_.clear();
    decoder_.reset();
    frameCount_ = 0;
    badCrcCount_ = 0;
    showBadCrcCount();
}

void Rs485Page::selectRegisterCell(int column, int row) {
    if (column < 1 || row < 1)
        return;
    LabelSelectUserReg->setText(modbus::pairLabel(column, row));
    Label_REGVAL->setText(StringGrid1->item(row, column)->text());
}

// ---- Frames and registers ------------------------------------------------------------------

int Rs485Page::ownModbusAddress() const {
    return context_.state->modbusAddressIndex() + 1;
}

void Rs485Page::fillGridHeaders() {
    StringGrid1->item(0, 0)->setText(context_.text(QStringLiteral("IDS_1")));
    for (int i = 1; i < modbus::GridSize; ++i) {
        StringGrid1->item(i, 0)->setText(modbus::rowHeader(i));
        StringGrid1->item(0, i)->setText(modbus::columnHeader(i));
    }
}

void Rs485Page::applyModelProfile(const control::ModelProfile& profile) {
    linkGroup_->ComboBox_ModbusAdr->setEnabled(profile.modbusAddressSelectable);
}

void Rs485Page::countFrame() {
    setBackground(EditRx, colors::ModbusRx);
    ++frameCount_;
    EditMbusFrameCnt->setText(QString::number(frameCount_));
}

void Rs485Page::logFrame(const Response& response) {
    const modbus::FrameLogEntry entry = modbus::describeFrame(response.bytes(), ownModbusAddress());
    setBackground(EditRx, colors::ModbusRx);
    ++frameCount_;
    const QString text = entry.textKey.isEmpty() ? QString() : context_.text(entry.textKey);
    SeenFrame seen{QDateTime::currentMSecsSinceEpoch(), modbus::frameBytes(response.data), entry.hex + text};
    // A frame followed by its CRC checks to zero.
    if (seen.bytes.size() >= 4 && modbus::modbusCrc(seen.bytes) != 0)
        ++badCrcCount_;
    if (decoding()) {
        const modbus::DecodedFrame frame = decoder_.decode(seen.bytes);
        if (passesFilter(frame))
            pendingDecoded_.append(decodedLine(seen, frame));
    } else {
        pendingLines_.append(seen.plainLine);
    }
    rememberFrame(std::move(seen));
    // Lines of a burst of frames go into the log together, once the burst has been handled, and
    // the counter shows the count then: adding many lines at once costs little more than adding
    // one, and an edit field lays out each text it is given.
    pendingCount_ = true;
    scheduleFlush();
}

void Rs485Page::scheduleFlush() {
    if (flushScheduled_)
        return;
    flushScheduled_ = true;
    QTimer::singleShot(0, this, &Rs485Page::flushFrameLog);
}

void Rs485Page::flushFrameLog() {
    flushScheduled_ = false;
    if (!pendingCount_)
        return; // cleared since: the counter keeps its text until the next frame
    if (!pendingLines_.isEmpty())
        MemoMbusTrans->appendPlainText(pendingLines_.join(QLatin1Char('\n')));
    appendLines(pendingDecoded_);
    pendingLines_.clear();
    pendingDecoded_.clear();
    pendingCount_ = false;
    EditMbusFrameCnt->setText(QString::number(frameCount_));
    showBadCrcCount();
}

void Rs485Page::rememberFrame(SeenFrame frame) {
    seen_.push_back(std::move(frame));
    while (seen_.size() > std::size_t(FrameLogLines))
        seen_.pop_front();
}

void Rs485Page::readUserRegisters() {
    context_.link->send(modbus::encodeReadRegisters());
    readRequested_ = true;
}

void Rs485Page::showRegisters(const Response& response) {
    const modbus::RegisterHalf half = modbus::decodeRegisterHalf(response.bytes());
    const auto view =
        RadioButton_REAL->isChecked() ? modbus::RegisterView::Real : modbus::RegisterView::Dword;
    for (int k = 0; k < half.values.size(); ++k) {
        const modbus::GridCell cell = modbus::gridCellOfPair(half.firstRegister + 2 * k);
        StringGrid1->item(cell.row, cell.column)->setText(modbus::registerText(half.values[k], view));
    }
    if (!half.upper)
        return;
    // Halves the controller sends on its own (register preview) count as received frames.
    if (!readRequested_)
        countFrame();
    readRequested_ = false;
}

} // namespace kvt
