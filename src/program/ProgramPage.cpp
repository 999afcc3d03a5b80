// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/ProgramPage.h"

#include "assist/Colors.h"
#include "assist/DialogService.h"
#include "assist/FileDialogInfo.h"
#include "assist/StatusBar.h"
#include "assist/TranslationStore.h"
#include "format/InvalidEntry.h"
#include "format/core/NumberFormat.h"
#include "link/OpCode.h"
#include "link/Transport.h"
#include "modbus/core/UserRegisters.h"
#include "program/ProgramTransfer.h"
#include "program/core/ProgramControl.h"
#include "shell/AppContext.h"
#include "shell/AppState.h"
#include "shell/AskedController.h"
#include "shell/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace kvt {

namespace {

constexpr int RegisterCount = 24; // R50, R52, ..., R96
constexpr int RegisterRows = 6;

QLineEdit* readOnlyField(const QString& name, const QString& text, QWidget* parent) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    return e;
}

QLabel* label(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
}

// The register buttons are named BtnR50, btnR52 ... btnR72, BtnR74 ... BtnR96.
QString registerButtonName(int n) {
    return (n >= 52 && n <= 72 ? QStringLiteral("btnR%1") : QStringLiteral("BtnR%1")).arg(n);
}

} // namespace

ProgramPage::ProgramPage(AppContext& context, const FileDialogInfo& openDialog, const FileDialogInfo& saveDialog,
                         QWidget* parent, Build build)
    : Page(context, QStringLiteral("TabSheet5"), parent), transfer_(new ProgramTransfer(context, this)),
      openDialog_(openDialog), saveDialog_(saveDialog) {
    if (build == Build::Now)
        ensureBuilt();
}

void ProgramPage::buildContent() {
    auto* top = new QHBoxLayout;
    top->setSpacing(6);
    top->addWidget(buildProgramming(), 1);
    top->addWidget(buildRunControl());
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(6);
    column->addLayout(top);
    column->addWidget(buildRegisters());
    column->addStretch(1);

    context_.link->subscribe(op::ProgramRunState, this, [this](const Response& r) { showRunState(r); });
    context_.link->subscribe(op::ReadRegisters, this, [this](const Response& r) { showRegisters(r); });
    connect(transfer_, &ProgramTransfer::readBackStarted, MemoProgram, &QPlainTextEdit::clear);
    connect(transfer_, &ProgramTransfer::readBackStep, this, &ProgramPage::showReadBackStep);
    connect(transfer_, &ProgramTransfer::readBackComplete, this, [this] {
        btn_SaveProg->setEnabled(true);
        showListing();
    });
}

QGroupBox* ProgramPage::buildProgramming() {
    GroupBoxProgramming = new QGroupBox(QStringLiteral("Programowanie"), this);
    GroupBoxProgramming->setObjectName(QStringLiteral("GroupBox_Programming"));
    QGroupBox* group = GroupBoxProgramming;

    btn_ProgOpen = makeButton(group, QStringLiteral("btn_ProgOpen"), QStringLiteral("Otwórz z pliku"));
    btn_SaveProg = makeButton(group, QStringLiteral("btn_SaveProg"), QStringLiteral("Zapisz do pliku"));
    btn_SaveProg->setEnabled(false);
    ComboBoxModulNumer = new QComboBox(group);
    ComboBoxModulNumer->setObjectName(QStringLiteral("ComboBoxModulNumer"));
    for (int address = 0; address < program::AddressCount; ++address)
        ComboBoxModulNumer->addItem(QString::number(address));
    ComboBoxModulNumer->setCurrentIndex(0);
    EditProgSize = readOnlyField(QStringLiteral("EditProgSize"), QStringLiteral("0"), group);
    EditProgMemory = readOnlyField(QStringLiteral("EditProgMemory"), QStringLiteral("0"), group);
    LabelFileName = label(QStringLiteral("Brak pliku"), group);
    LabelFileName->setObjectName(QStringLiteral("LabelFileName"));
    // A long file name is cut at the group's edge rather than widening the page.
    LabelFileName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    MemoProgram = new QPlainTextEdit(group);
    MemoProgram->setObjectName(QStringLiteral("MemoProgram"));
    MemoProgram->setReadOnly(true);
    MemoProgram->hide();
    btn_SendProg = makeButton(group, QStringLiteral("btn_SendProg"), QStringLiteral("Wyslij program"));
    JvXPButton3 = makeButton(group, QStringLiteral("JvXPButton3"), QStringLiteral("Odczytaj program"));
    btn_TxProg = makeButton(group, QStringLiteral("btn_TxProg"), QStringLiteral("TX-PROG"));
    btn_TxProg->setToolTip(
        QStringLiteral("Uruchamia program TX-PROG do tworzenia programów ruchu dla sterownika (kontrolera)"));

    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);
    grid->addWidget(btn_ProgOpen, 0, 0, 1, 2);
    grid->addWidget(btn_SaveProg, 0, 2, 1, 2);
    grid->addWidget(label(QStringLiteral("Nr modułu"), group), 1, 0);
    grid->addWidget(ComboBoxModulNumer, 1, 1);
    grid->addWidget(label(QStringLiteral("Komend"), group), 1, 2);
    grid->addWidget(EditProgSize, 1, 3);
    grid->addWidget(label(QStringLiteral("Pamięc"), group), 2, 2);
    grid->addWidget(EditProgMemory, 2, 3);
    grid->addWidget(label(QStringLiteral("Nazwa pliku:"), group), 3, 0);
    grid->addWidget(LabelFileName, 3, 1, 1, 3);
    grid->addWidget(btn_SendProg, 4, 0, 1, 2);
    grid->addWidget(JvXPButton3, 4, 2, 1, 2);
    grid->addWidget(btn_TxProg, 5, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    connect(btn_ProgOpen, &QPushButton::clicked, this, &ProgramPage::openProgramFile);
    connect(btn_SaveProg, &QPushButton::clicked, this, &ProgramPage::saveProgramFile);
    connect(ComboBoxModulNumer, &QComboBox::activated, this, &ProgramPage::selectAddress);
    connect(btn_SendProg, &QPushButton::clicked, this, &ProgramPage::sendProgram);
    connect(JvXPButton3, &QPushButton::clicked, this, &ProgramPage::readBackProgram);
    connect(btn_TxProg, &QPushButton::clicked, this, &ProgramPage::launchEditor);
    return group;
}

QGroupBox* ProgramPage::buildRunControl() {
    auto* group = new QGroupBox(QStringLiteral("Sterowanie programem"), this);
    group->setObjectName(QStringLiteral("GroupBox_ProgramControl"));
    btn_ProgStart = makeButton(group, QStringLiteral("btn_ProgStart"), QStringLiteral("Uruchom"));
    btn_StopProg = makeButton(group, QStringLiteral("btn_StopProg"), QStringLiteral("Zatrzymaj"));
    btn_ProgPause = makeButton(group, QStringLiteral("btn_ProgPause"), QStringLiteral("Wstrzymaj"));
    Edit_ProgramStatus =
        readOnlyField(QStringLiteral("Edit_ProgramStatus"), QStringLiteral("Program wyłaczony"), group);
    Edit_ProgramStatus->setAlignment(Qt::AlignCenter);
    // Wide enough for the longest run state in either language.
    int width = 0;
    for (const char* text :
         {"Program wyłaczony", "Program wyłączony", "Program uruchomiony", "Program wstrzymany"})
        width = std::max(width, Edit_ProgramStatus->fontMetrics().horizontalAdvance(QString::fromUtf8(text)));
    Edit_ProgramStatus->setMinimumWidth(width + 16);

    auto* column = new QVBoxLayout(group);
    column->setSpacing(6);
    column->addWidget(btn_ProgStart);
    column->addWidget(btn_StopProg);
    column->addWidget(btn_ProgPause);
    column->addStretch(1);
    column->addWidget(Edit_ProgramStatus);

    connect(btn_ProgStart, &QPushButton::clicked, this, &ProgramPage::startProgram);
    connect(btn_StopProg, &QPushButton::clicked, this, &ProgramPage::stopProgram);
    connect(btn_ProgPause, &QPushButton::clicked, this, &ProgramPage::pauseProgram);
    return group;
}

QGroupBox* ProgramPage::buildRegisters() {
    auto* group =
        new QGroupBox(QStringLiteral("Zadawanie wartosci dla rejestrów użytkownika [adr: 50..96]"), this);
    group->setObjectName(QStringLiteral("GroupBox_UserRegisters"));
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(4);
    for (int i = 0; i < RegisterCount; ++i) {
        const int n = 50 + 2 * i;
        auto* edit = new QLineEdit(QStringLiteral("0"), group);
        edit->setObjectName(QStringLiteral("editR%1").arg(n));
        auto* send = makeButton(group, registerButtonName(n), QStringLiteral("R%1").arg(n));
        send->setFixedWidth(send->fontMetrics().horizontalAdvance(QStringLiteral("R00")) + 18);
        // Registers go down the columns: R50..R60, R62..R72, R74..R84, R86..R96.
        const int row = i % RegisterRows;
        const int col = 2 * (i / RegisterRows);
        grid->addWidget(send, row, col);
        grid->addWidget(edit, row, col + 1);
        grid->setColumnStretch(col + 1, 1);
        registerEdits.append(edit);
        registerButtons.append(send);
        connect(send, &QPushButton::clicked, this, [this, i] { setUserRegister(i); });
    }
    btn_ReadUserReg = makeButton(group, QStringLiteral("btn_ReadUserReg"), QStringLiteral("Odczytaj "));
    btn_saveUserReg =
        makeButton(group, QStringLiteral("btn_saveUserReg"), QStringLiteral("Zapisz do pamięci nieulotnej"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btn_ReadUserReg);
    buttons->addWidget(btn_saveUserReg);
    buttons->addStretch(1);
    grid->addLayout(buttons, RegisterRows, 0, 1, 8);

    connect(btn_ReadUserReg, &QPushButton::clicked, this, &ProgramPage::readUserRegisters);
    connect(btn_saveUserReg, &QPushButton::clicked, this, &ProgramPage::saveUserRegisters);
    return group;
}

std::optional<quint8> ProgramPage::pollRequest() const {
    return op::ProgramRunState;
}

void ProgramPage::information(const QString& text, const QString& caption) {
    context_.dialogs->message(window(), DialogService::Icon::Information, text, caption);
}

// ---- Program file ----------------------------------------------------------------------------

program::LoadResult ProgramPage::loadProgramFile() {
    const program::ProgramFileLoad load = program::loadProgramFile(
        context_.state->programFilePath(), ComboBoxModulNumer->currentIndex(), transfer_->store());
    if (load.read)
        showLoadedProgram(load);
    return load.result;
}

void ProgramPage::showLoadedProgram(const program::ProgramFileLoad& load) {
    const program::ProgramStore& store = transfer_->store();
    LabelFileName->setText(load.fileName);
    LabelFileName->setToolTip(load.fileName);
    showListing();
    EditProgSize->setText(QString::number(store.length));
    EditProgMemory->setText(program::memoryShare(store.length));
    btn_SaveProg->setEnabled(true);
}

void ProgramPage::showListing() {
    MemoProgram->setPlainText(transfer_->store().listing().join(QLatin1Char('\n')));
}

void ProgramPage::loadStartupProgram() {
    loadProgramFile(); // a missing default file leaves the page as it is
}

void ProgramPage::openProgramFile() {
    DialogService::FileRequest request;
    request.directory = openDialog_.initialDir;
    request.fileName = openDialog_.fileName;
    request.filter = openDialog_.filter;
    QPointer<ProgramPage> self(this);
    context_.dialogs->openFile(window(), request, [self](const QString& path) {
        if (!self || path.isEmpty())
            return;
        self->context_.state->setProgramFilePath(path);
        self->loadProgramFile();
        self->context_.statusBar->setPanelText(0, QDir::toNativeSeparators(path));
    });
}

void ProgramPage::selectAddress() {
    loadProgramFile();
}

void ProgramPage::saveProgramFile() {
    DialogService::FileRequest request;
    request.filter = saveDialog_.filter;
    QPointer<ProgramPage> self(this);
    context_.dialogs->saveFile(window(), request, [self](const QString& chosen) {
        if (!self || chosen.isEmpty())
            return;
        const QString path = program::withProgramExtension(chosen);
        const QString shown = QDir::toNativeSeparators(path);
        // A read-back cut short leaves commands of an earlier program behind the ones received:
        // only the received ones are saved.
        const program::ProgramStore& store = self->transfer_->store();
        const program::ProgramStore saved = store.receivedPart();
        const auto error = program::writeProgramFile(path, program::encodeProgramFile(saved));
        const QString caption = self->context_.text(QStringLiteral("IDS_120"));
        if (error) {
            const QString text =
                self->context_.text(QStringLiteral("PROGRAM_SAVE_FAILED")) + QStringLiteral("\n%1\n%2");
            self->context_.dialogs->message(self->window(), DialogService::Icon::Error,
                                            text.arg(shown, *error), caption);
            return;
        }
        if (store.complete()) {
            self->information(self->context_.text(QStringLiteral("IDS_136")), caption);
        } else {
            const QString text = self->context_.text(QStringLiteral("PROGRAM_READ_BACK_INCOMPLETE"));
            self->context_.dialogs->message(self->window(), DialogService::Icon::Warning,
                                            text.arg(saved.length).arg(store.length), caption);
        }
        self->context_.statusBar->setPanelText(0, shown);
    });
}

// ---- Transfer ------------------------------------------------------------------------------

void ProgramPage::sendProgram() {
    // The file is read again, so what is sent is the file's content now.
    switch (loadProgramFile()) {
    case program::LoadResult::NoProgram:
        information(context_.text(QStringLiteral("IDS_139")), context_.text(QStringLiteral("IDS_120")));
        return;
    case program::LoadResult::TooLarge:
        information(context_.text(QStringLiteral("IDS_119")), context_.text(QStringLiteral("IDS_120")));
        return;
    case program::LoadResult::NoFileName:
        information(QStringLiteral("Nie mozna otworzyc pliku"), QStringLiteral("Program"));
        return;
    case program::LoadResult::Loaded:
        transfer_->start(transfer_->store().length);
        return;
    }
}

void ProgramPage::readBackProgram() {
    transfer_->readBack();
}

void ProgramPage::showReadBackStep(const program::ReadBackStep& step) {
    EditProgSize->setText(step.sizeText);
    EditProgMemory->setText(step.memoryText);
}

// ---- Execution -----------------------------------------------------------------------------

void ProgramPage::startProgram() {
    if (context_.state->startByInput() && context_.state->model() == Model::Kvt318) {
        // The warning does not stop the start: the controller decides. The command goes once the
        // box is closed.
        QPointer<ProgramPage> self(this);
        context_.dialogs->message(window(), DialogService::Icon::Warning,
                                  withLineBreaks(context_.text(QStringLiteral("IDS_143"))),
                                  context_.text(QStringLiteral("IDS_27")), DialogService::Buttons::Ok,
                                  [self, asked = AskedController(context_)](bool) {
                                      if (self && asked.stillActive(self->context_, self->window()))
                                          self->context_.link->send(program::encodeStart());
                                  });
        return;
    }
    context_.link->send(program::encodeStart());
}

void ProgramPage::stopProgram() {
    context_.link->send(program::encodeStop());
}

void ProgramPage::pauseProgram() {
    context_.link->send(program::encodePause());
}

void ProgramPage::showRunState(const Response& response) {
    const std::optional<program::RunState> state = program::decodeRunState(response.bytes());
    if (!state)
        return;
    switch (*state) {
    case program::RunState::Off:
        Edit_ProgramStatus->setText(context_.text(QStringLiteral("IDS_101")));
        setBackground(Edit_ProgramStatus, colors::Error);
        break;
    case program::RunState::Running:
        Edit_ProgramStatus->setText(context_.text(QStringLiteral("IDS_102")));
        setBackground(Edit_ProgramStatus, colors::Active);
        break;
    case program::RunState::Paused:
        Edit_ProgramStatus->setText(context_.text(QStringLiteral("IDS_103")));
        setBackground(Edit_ProgramStatus, colors::Warning);
        break;
    }
}

// ---- User registers ------------------------------------------------------------------------

void ProgramPage::setUserRegister(int index) {
    const int n = modbus::FirstUserRegister + 2 * index;
    QLineEdit* edit = registerEdits.value(index);
    if (!edit || n > program::LastSettableRegister)
        return;
    restoreEntryBackground(edit);
    const std::optional<double> typed = fmt::readDecimal(edit->text());
    const std::optional<float> value = typed ? program::registerValue(*typed) : std::nullopt;
    if (!value) {
        showInvalidEntry(edit, *context_.dialogs, *context_.texts, QStringLiteral("IDS_122"));
        return;
    }
    if (const auto command = program::encodeSetRegister(n, *value))
        context_.link->send(*command);
}

void ProgramPage::readUserRegisters() {
    if (isSignalConnected(QMetaMethod::fromSignal(&ProgramPage::userRegistersRequested)))
        emit userRegistersRequested();
    else
        context_.link->send(modbus::encodeReadRegisters());
}

void ProgramPage::saveUserRegisters() {
    context_.link->send(program::encodeSaveRegisters());
}

void ProgramPage::showRegisters(const Response& response) {
    const modbus::RegisterHalf half = modbus::decodeRegisterHalf(response.bytes());
    for (int k = 0; k < half.values.size(); ++k) {
        // R98 has no field here; the grid of the RS485 page shows it.
        const int index = (half.firstRegister - modbus::FirstUserRegister) / 2 + k;
        if (QLineEdit* edit = index >= 0 ? registerEdits.value(index) : nullptr)
            edit->setText(modbus::realText(half.values[k]));
    }
}

// ---- Editor ----------------------------------------------------------------------------------

void ProgramPage::launchEditor() {
    // The editor lives in TX_PROG beside this program: a native build, or its Windows build, which
    // the desktop opens with whatever runs such files. No user text reaches a command line.
    const QString folder = context_.state->applicationDirectory() + QStringLiteral("TX_PROG/");
    const QString native = folder + QStringLiteral("TX-PROG");
    const QString windows = folder + QStringLiteral("TX-PROG.exe");
    const QString caption = QStringLiteral("TX-PROG");
    const QFileInfo nativeInfo(native);
    QString started;
    bool ok = false;
    if (nativeInfo.isFile() && nativeInfo.isExecutable()) {
        started = native;
        ok = QProcess::startDetached(native, {}, folder);
    } else if (QFileInfo(windows).isFile()) {
        started = windows;
        ok = QDesktopServices::openUrl(QUrl::fromLocalFile(windows));
    } else {
        const QString text = context_.text(QStringLiteral("TXPROG_NOT_FOUND")) + QStringLiteral("\n%1\n%2");
        information(text.arg(QDir::toNativeSeparators(windows), QDir::toNativeSeparators(native)), caption);
        return;
    }
    if (!ok) {
        const QString text = context_.text(QStringLiteral("TXPROG_START_FAILED")) + QStringLiteral("\n%1");
        information(text.arg(QDir::toNativeSeparators(started)), caption);
    }
}

} // namespace kvt
