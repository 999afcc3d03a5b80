// SPDX-License-Identifier: GPL-3.0-or-later
#include "control/ControlPage.h"

#include "assist/Colors.h"
#include "assist/DialogService.h"
#include "control/ProfilePictures.h"
#include "control/core/Identity.h"
#include "control/core/ModelProfile.h"
#include "control/core/Units.h"
#include "format/InvalidEntry.h"
#include "format/core/NumberFormat.h"
#include "link/OpCode.h"
#include "link/Transport.h"
#include "shell/AppContext.h"
#include "shell/AppState.h"
#include "shell/ParameterEntry.h"
#include "shell/Widgets.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

namespace kvt {

using namespace control;

namespace {

const QColor PositionBackground(0xF1, 0xD7, 0x98);
const QColor SpeedBackground(0x7C, 0xA8, 0xFA);
const QColor ReadingText(0x01, 0x3A, 0x81);

constexpr int Margin = 5;
constexpr int Spacing = 3;

template <typename Layout> Layout* tight(Layout* layout) {
    layout->setContentsMargins(Margin, Margin - 1, Margin, Margin - 1);
    layout->setSpacing(Spacing);
    return layout;
}

void paint(QWidget* widget, Shade shade) {
    switch (shade) {
    case Shade::Normal:
        resetBackground(widget);
        return;
    case Shade::Active:
        setBackground(widget, colors::Active);
        return;
    case Shade::Off:
        setBackground(widget, colors::Error);
        return;
    case Shade::Warning:
        setBackground(widget, colors::Warning);
        return;
    case Shade::Info:
        setBackground(widget, colors::Information);
        return;
    case Shade::Alarm:
        setBackground(widget, colors::Failed);
        return;
    }
}

// A status field takes a report's text only when it differs: an edit field lays an equal text out
// again all the same, and most reports repeat most values.
void showText(QLineEdit* field, const QString& text) {
    if (field->text() != text)
        field->setText(text);
}

// The colour a display shows now, as a shade (normal for any colour that is not a status colour).
Shade shadeOf(const QWidget* widget) {
    const QColor c = background(widget);
    if (c == colors::Active)
        return Shade::Active;
    if (c == colors::Error)
        return Shade::Off;
    if (c == colors::Warning)
        return Shade::Warning;
    if (c == colors::Information)
        return Shade::Info;
    if (c == colors::Failed)
        return Shade::Alarm;
    return Shade::Normal;
}

} // namespace

ControlPage::ControlPage(AppContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabSheet4"), parent) {
    ensureBuilt(); // the page shown at start: built at once
}

void ControlPage::buildContent() {
    buildInputs();
    buildOutputsAndStatus();
    buildReadings();
    buildCommands();
    buildHoming();
    buildMotionParameters();
    buildPreview();

    // Two columns: what the user sets on the left (inputs, commands, motion parameters), what
    // the drive reports on the right (outputs and state, readings, homing, the profile).
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(4, 3, 4, 3);
    page->setSpacing(5);
    auto* left = new QVBoxLayout;
    left->setSpacing(3);
    left->addWidget(GroupBox6);
    left->addWidget(GroupBox8);
    left->addWidget(GroupBox_MoveParameters);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->setSpacing(3);
    auto* top = new QHBoxLayout;
    top->setSpacing(5);
    top->addWidget(GroupBox7);
    top->addWidget(GroupBox_MotorStatus, 1);
    right->addLayout(top);
    right->addWidget(GroupBoxAnalog);
    right->addWidget(GroupBox13);
    right->addWidget(GroupBox5);
    right->addStretch(1);
    page->addLayout(left, 1);
    page->addLayout(right, 1);

    wireHandlers();
    showProfilePicture(int(ProfileElement::EndPosition));
}

std::optional<quint8> ControlPage::pollRequest() const {
    return op::LiveStatus;
}

void ControlPage::buildInputs() {
    GroupBox6 = makeGroup(this, "GroupBox6", "Stan wejsc");
    auto* grid = tight(new QGridLayout(GroupBox6));
    Label11 = makeLabel(GroupBox6, "Label11", "Run");
    LabelInStop = makeLabel(GroupBox6, "LabelInStop", "Stop");
    Label20 = makeLabel(GroupBox6, "Label20", "Home1");
    Label21 = makeLabel(GroupBox6, "Label21", "Home2");
    Label9 = makeLabel(GroupBox6, "Label9", "In1");
    Label10 = makeLabel(GroupBox6, "Label10", "In2");
    Edit_Run = makeField(GroupBox6, "Edit_Run", "Off", true);
    Edit_StopIn3 = makeField(GroupBox6, "Edit_StopIn3", "Off", true);
    Edit_Home1 = makeField(GroupBox6, "Edit_Home1", "Off", true);
    Edit_Home2 = makeField(GroupBox6, "Edit_Home2", "Off", true);
    Edit_In1 = makeField(GroupBox6, "Edit_In1", "Off", true);
    Edit_In2 = makeField(GroupBox6, "Edit_In2", "Off", true);
    Btn_SimRUN = makeButton(GroupBox6, "Btn_SimRUN", "X");
    Btn_SimSTOP = makeButton(GroupBox6, "Btn_SimSTOP", "X");
    Btn_SimHOME1 = makeButton(GroupBox6, "Btn_SimHOME1", "X");
    Btn_SimHOME2 = makeButton(GroupBox6, "Btn_SimHOME2", "X");
    Btn_SimIN1 = makeButton(GroupBox6, "Btn_SimIN1", "X");
    Btn_SimIN2 = makeButton(GroupBox6, "Btn_SimIN2", "X");
    const std::array<QLabel*, 6> labels{Label11, LabelInStop, Label20, Label21, Label9, Label10};
    const std::array<QLineEdit*, 6> fields{Edit_Run,   Edit_StopIn3, Edit_Home1,
                                           Edit_Home2, Edit_In1,     Edit_In2};
    const std::array<QPushButton*, 6> buttons{Btn_SimRUN,   Btn_SimSTOP, Btn_SimHOME1,
                                              Btn_SimHOME2, Btn_SimIN1,  Btn_SimIN2};
    for (int i = 0; i < 6; ++i) {
        grid->addWidget(labels[i], 0, i, Qt::AlignHCenter);
        fields[i]->setFixedWidth(40);
        fields[i]->setAlignment(Qt::AlignCenter);
        grid->addWidget(fields[i], 1, i);
        buttons[i]->setFixedWidth(40);
        buttons[i]->setEnabled(false); // until the firmware is known to simulate inputs
        grid->addWidget(buttons[i], 2, i);
    }
}

void ControlPage::buildOutputsAndStatus() {
    GroupBox7 = makeGroup(this, "GroupBox7", "Stan wyjsc");
    auto* grid = tight(new QGridLayout(GroupBox7));
    Label13 = makeLabel(GroupBox7, "Label13", "Out1");
    Label14 = makeLabel(GroupBox7, "Label14", "Out2");
    Edit_Out1 = makeField(GroupBox7, "Edit_Out1", "Off", true);
    Edit_Out2 = makeField(GroupBox7, "Edit_Out2", "Off", true);
    btn_ChangeOut1 = makeButton(GroupBox7, "btn_ChangeOut1", "X");
    btn_ChangeOut2 = makeButton(GroupBox7, "btn_ChangeOut2", "X");
    const std::array<QLabel*, 2> labels{Label13, Label14};
    const std::array<QLineEdit*, 2> fields{Edit_Out1, Edit_Out2};
    const std::array<QPushButton*, 2> buttons{btn_ChangeOut1, btn_ChangeOut2};
    for (int i = 0; i < 2; ++i) {
        grid->addWidget(labels[i], 0, i, Qt::AlignHCenter);
        fields[i]->setFixedWidth(40);
        fields[i]->setAlignment(Qt::AlignCenter);
        grid->addWidget(fields[i], 1, i);
        buttons[i]->setFixedWidth(40);
        grid->addWidget(buttons[i], 2, i);
    }

    GroupBox_MotorStatus = makeGroup(this, "GroupBox_MotorStatus", "Status napędu");
    auto* column = tight(new QVBoxLayout(GroupBox_MotorStatus));
    Edit_MotorStatus = makeField(GroupBox_MotorStatus, "Edit_MotorStatus", "Wyłączony", true);
    Edit_MotorStatus->setAlignment(Qt::AlignCenter);
    column->addWidget(Edit_MotorStatus);
    column->addStretch(1);
}

void ControlPage::buildReadings() {
    GroupBoxAnalog = makeGroup(this, "GroupBoxAnalog", "Odczyty");
    auto* column = tight(new QVBoxLayout(GroupBoxAnalog));
    auto* grid = new QGridLayout;
    grid->setSpacing(Spacing);
    column->addLayout(grid);
    Label_SpeedActual = makeLabel(GroupBoxAnalog, "Label_SpeedActual", "Prędkosc aktualna");
    Text_Vact = makeField(GroupBoxAnalog, "Text_Vact", "0", true);
    Label_PosActual = makeLabel(GroupBoxAnalog, "Label_PosActual", "Pozycja aktualna");
    Text_Xact = makeField(GroupBoxAnalog, "Text_Xact", "0", true);
    Label_PosDest = makeLabel(GroupBoxAnalog, "Label_PosDest", "Pozycja zadana");
    Text_Xdest = makeField(GroupBoxAnalog, "Text_Xdest", "0", true);
    Label_PosDest->setVisible(false);
    const std::array<QLabel*, 3> labels{Label_SpeedActual, Label_PosActual, Label_PosDest};
    const std::array<QLineEdit*, 3> values{Text_Vact, Text_Xact, Text_Xdest};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(labels[i], i, 0);
        values[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setTextColor(values[i], ReadingText);
        setBackground(values[i], i == 0 ? SpeedBackground : PositionBackground);
        QFont bold = values[i]->font();
        bold.setBold(true);
        values[i]->setFont(bold);
        values[i]->setFixedWidth(92);
        grid->addWidget(values[i], i, 1);
    }
    grid->setColumnStretch(0, 1);
    Label_Encoder = makeLabel(GroupBoxAnalog, "Label_Encoder", "Enkoder:");
    Label_EncRAW = makeLabel(GroupBoxAnalog, "Label_EncRAW", "---");
    Label19 = makeLabel(GroupBoxAnalog, "Label19", "We. 0-10V:");
    Label_Vain = makeLabel(GroupBoxAnalog, "Label_Vain", "---");
    LabelTemp = makeLabel(GroupBoxAnalog, "LabelTemp", "Temperatura:");
    label_UcTemp = makeLabel(GroupBoxAnalog, "label_UcTemp", "---");
    Label_Vpower = makeLabel(GroupBoxAnalog, "Label_Vpower", "Napięcie zas.:");
    Label_Vzas = makeLabel(GroupBoxAnalog, "Label_Vzas", "---");
    const std::array<QLabel*, 8> small{Label_Encoder, Label_EncRAW, Label19,      Label_Vain,
                                       LabelTemp,     label_UcTemp, Label_Vpower, Label_Vzas};
    auto* readings = new QGridLayout;
    readings->setHorizontalSpacing(4);
    readings->setVerticalSpacing(1);
    for (int i = 0; i < 8; ++i)
        readings->addWidget(small[i], i / 4, i % 4);
    readings->setColumnStretch(1, 1);
    readings->setColumnStretch(3, 1);
    column->addLayout(readings);
}

void ControlPage::buildCommands() {
    GroupBox8 = makeGroup(this, "GroupBox8", "Sterowanie");
    auto* column = tight(new QVBoxLayout(GroupBox8));
    Btn_MotorEnable = makeButton(GroupBox8, "Btn_MotorEnable", "Driver ON");
    btn_MotorDisable = makeButton(GroupBox8, "btn_MotorDisable", "Driver OFF");
    btn_MotorStop = makeButton(GroupBox8, "btn_MotorStop", "STOP");
    btn_ResetPos = makeButton(GroupBox8, "btn_ResetPos", "Reset pozycji");
    QFont bold = btn_MotorStop->font();
    bold.setBold(true);
    btn_MotorStop->setFont(bold);
    auto* drive = new QGridLayout;
    drive->setSpacing(Spacing);
    drive->addWidget(Btn_MotorEnable, 0, 0);
    drive->addWidget(btn_MotorDisable, 0, 1);
    drive->addWidget(btn_MotorStop, 1, 0);
    drive->addWidget(btn_ResetPos, 1, 1);
    column->addLayout(drive);

    // Each target has two entries, each with its own "Ustaw", so two values can be sent in turn.
    const auto targets = [this, column](QGroupBox*& box, const char* name, const char* title,
                                        QLineEdit*& first, const char* firstName, QPushButton*& firstSet,
                                        const char* firstSetName, QLineEdit*& second, const char* secondName,
                                        QPushButton*& secondSet, const char* secondSetName) {
        box = makeGroup(GroupBox8, name, title);
        auto* row = tight(new QHBoxLayout(box));
        first = makeField(box, firstName, "0", false);
        firstSet = makeButton(box, firstSetName, "Ustaw");
        second = makeField(box, secondName, "0", false);
        secondSet = makeButton(box, secondSetName, "Ustaw");
        for (QPushButton* b : {firstSet, secondSet})
            b->setFixedWidth(b->fontMetrics().horizontalAdvance(b->text()) + 16);
        row->addWidget(first, 1);
        row->addWidget(firstSet);
        row->addSpacing(4);
        row->addWidget(second, 1);
        row->addWidget(secondSet);
        column->addWidget(box);
    };
    targets(GroupBoxSpeedSets, "GroupBoxSpeedSets", "Prędkosc zadana [obr/s]", Edit_Vdest, "Edit_Vdest",
            btn_SetVdest1, "btn_SetVdest1", Edit_Vdest2, "Edit_Vdest2", btn_SetVdest2, "btn_SetVdest2");
    targets(GroupBox_PosSets, "GroupBox_PosSets", "Pozycja absolutna [obr]", Edit_Xdest, "Edit_Xdest",
            btn_SetXdest1, "btn_SetXdest1", Edit_Xdest2, "Edit_Xdest2", btn_SetXdest2, "btn_SetXdest2");
    targets(GroupBox_PosRelSet, "GroupBox_PosRelSet", "Pozycja relatywna [obr]", Edit_Xmove1, "Edit_Xmove1",
            btn_SetXmove1, "btn_SetXmove1", Edit_Xmove2, "Edit_Xmove2", btn_SetXmove2, "btn_SetXmove2");
    column->addStretch(1);
}

void ControlPage::buildHoming() {
    GroupBox13 = makeGroup(this, "GroupBox13", "Bazowanie");
    auto* grid = tight(new QGridLayout(GroupBox13));
    Label_HomeSpeed = makeLabel(GroupBox13, "Label_HomeSpeed", "Prędkosc [obr/sek]");
    Edit_HomeSpeed = makeField(GroupBox13, "Edit_HomeSpeed", "0", false);
    btn_Home = makeButton(GroupBox13, "btn_Home", "Bazuj");
    grid->addWidget(Label_HomeSpeed, 0, 0);
    grid->addWidget(Edit_HomeSpeed, 0, 1);
    grid->addWidget(btn_Home, 0, 2);
    grid->setColumnStretch(1, 1);
}

void ControlPage::buildMotionParameters() {
    GroupBox_MoveParameters = makeGroup(this, "GroupBox_MoveParameters", "Parametry ruchu");
    auto* grid = tight(new QGridLayout(GroupBox_MoveParameters));
    Label_SpeedMax = makeLabel(GroupBox_MoveParameters, "Label_SpeedMax", "Prędkosc maks [obr/s]");
    Edit_SetVmax = makeField(GroupBox_MoveParameters, "Edit_SetVmax", "0", false);
    Label_Acc = makeLabel(GroupBox_MoveParameters, "Label_Acc", "Przyspieszenie [obr/sek2]");
    Edit_SetAcc = makeField(GroupBox_MoveParameters, "Edit_SetAcc", "0", false);
    btn_SetMoveParam = makeButton(GroupBox_MoveParameters, "btn_SetMoveParam", "Ustaw");
    grid->addWidget(Label_SpeedMax, 0, 0);
    grid->addWidget(Edit_SetVmax, 0, 1);
    grid->addWidget(Label_Acc, 1, 0);
    grid->addWidget(Edit_SetAcc, 1, 1);
    grid->addWidget(btn_SetMoveParam, 2, 1, Qt::AlignRight);
    btn_SetMoveParam->setMinimumWidth(80);
    grid->setColumnStretch(1, 1);
}

void ControlPage::buildPreview() {
    GroupBox5 = makeGroup(this, "GroupBox5", "Trajektoria ruchu- podgląd");
    auto* grid = tight(new QGridLayout(GroupBox5));
    grid->setVerticalSpacing(1);
    Image_XProfile = named(new QLabel(GroupBox5), "Image_XProfile");
    Image_XProfile->setFixedSize(ProfilePictureWidth, ProfilePictureHeight);
    grid->addWidget(Image_XProfile, 0, 0, 1, 2, Qt::AlignHCenter);
    Label_CzasCalk = makeLabel(GroupBox5, "Label_CzasCalk", "Czas całkowity.:");
    Label_Time = makeLabel(GroupBox5, "Label_Time", "0");
    Label_CzasRozpHam = makeLabel(GroupBox5, "Label_CzasRozpHam", "Czas rozp./hamowania:");
    Label_TimeAccDec = makeLabel(GroupBox5, "Label_TimeAccDec", "0");
    Label_DrogaRozpHam = makeLabel(GroupBox5, "Label_DrogaRozpHam", "Droga rozp./hamowania:");
    Label_DistAccDec = makeLabel(GroupBox5, "Label_DistAccDec", "0");
    const std::array<QLabel*, 6> rows{Label_CzasCalk,   Label_Time,         Label_CzasRozpHam,
                                      Label_TimeAccDec, Label_DrogaRozpHam, Label_DistAccDec};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(rows[2 * i], i + 1, 0);
        grid->addWidget(rows[2 * i + 1], i + 1, 1);
    }
    grid->setColumnStretch(1, 1);
}

void ControlPage::wireHandlers() {
    const auto on = [this](QPushButton* b, auto handler) {
        connect(b, &QPushButton::clicked, this, handler);
    };
    on(Btn_MotorEnable, &ControlPage::switchDriveOn);
    on(btn_MotorDisable, &ControlPage::switchDriveOff);
    on(btn_MotorStop, &ControlPage::stopMotor);
    on(btn_ResetPos, &ControlPage::zeroPosition);
    on(btn_SetVdest1, [this] { runAtSpeed(Edit_Vdest); });
    on(btn_SetVdest2, [this] { runAtSpeed(Edit_Vdest2); });
    on(btn_SetXdest1, [this] { goTo(Edit_Xdest); });
    on(btn_SetXdest2, [this] { goTo(Edit_Xdest2); });
    on(btn_SetXmove1, [this] { moveBy(Edit_Xmove1); });
    on(btn_SetXmove2, [this] { moveBy(Edit_Xmove2); });
    on(btn_Home, &ControlPage::startHoming);
    on(btn_ChangeOut1, [this] { toggleOutput(0); });
    on(btn_ChangeOut2, [this] { toggleOutput(1); });
    on(btn_SetMoveParam, &ControlPage::setMotionParameters);
    // Input bits: Run 0, Stop 1, In1 2, In2 3, Home1 4, Home2 5.
    const std::array<std::pair<QPushButton*, int>, 6> inputs{{{Btn_SimRUN, 0},
                                                              {Btn_SimSTOP, 1},
                                                              {Btn_SimIN1, 2},
                                                              {Btn_SimIN2, 3},
                                                              {Btn_SimHOME1, 4},
                                                              {Btn_SimHOME2, 5}}};
    for (const auto& [b, bit] : inputs)
        connect(b, &QPushButton::clicked, this, [this, bit = bit] { simulateInput(bit); });

    for (QLineEdit* e : {Edit_Vdest, Edit_Vdest2, Edit_SetVmax, Edit_SetAcc, Edit_Xdest, Edit_Xdest2,
                         Edit_Xmove1, Edit_Xmove2})
        e->installEventFilter(this);

    context_.link->subscribe(op::LiveStatus, this, [this](const Response& r) { showLiveStatus(r); });
    context_.link->subscribe(op::Identity, this, [this](const Response& r) { showIdentity(r); });
}

// --- Sending ---

void ControlPage::send(const QByteArray& command) {
    context_.link->send(command);
}

void ControlPage::sendFloat(QLineEdit* f, const FloatCommand& command) {
    sendParameter(context_, f, command.code, command.lower, command.upper);
}

int ControlPage::displayDecimals() const {
    return context_.state->displayDecimals();
}

QString ControlPage::unitText() const {
    const QString& unit = context_.state->unit();
    return unit.isEmpty() ? unitItems().first() : unit;
}

// --- Live status and identity ---

void ControlPage::showLiveStatus(const Response& response) {
    const LiveStatus s = decodeLiveStatus(response.data);
    const LiveStatusView v = viewOf(s, displayDecimals(), unitText(), fmt::Separators::current());
    showText(Text_Xact, v.position);
    showText(Text_Vact, v.speed);

    const std::array<QLineEdit*, 8> io{Edit_Run,   Edit_StopIn3, Edit_In1,  Edit_In2,
                                       Edit_Home1, Edit_Home2,   Edit_Out1, Edit_Out2};
    for (int bit = 0; bit < 8; ++bit) {
        const bool on = s.ioFlags & (1u << bit);
        showText(io[bit], onOffText(on));
        setBackground(io[bit], on ? colors::Active : colors::Error);
    }
    inputMask_ = s.inputMask();
    outputMask_ = s.outputMask();

    if (const std::optional<MotorStateLook> look = motorStateLook(s.motorState)) {
        showText(Edit_MotorStatus, look->textKey.isEmpty() ? look->fixedText : context_.text(look->textKey));
        paint(Edit_MotorStatus, blinker_.next(*look, shadeOf(Edit_MotorStatus)));
    }

    label_UcTemp->setText(v.temperature);
    setTextColor(label_UcTemp, v.temperatureHigh ? colors::Error : QColor(Qt::black));
    Label_Vain->setText(v.analog);
    Label_Vzas->setText(v.supply);
    setTextColor(Label_Vzas, v.supplyOutOfRange ? colors::Error : QColor(Qt::black));
    Label_EncRAW->setText(v.encoder);
    showText(Text_Xdest, v.destination);
    Label_Time->setText(v.moveTime);
    Label_TimeAccDec->setText(v.accTime);
    Label_DistAccDec->setText(v.accDistance);
}

void ControlPage::showIdentity(const Response& response) {
    const DeviceIdentity id = decodeIdentity(response.data);
    AppState& state = *context_.state;
    // The status line and the other pages follow the shared state.
    state.setIdentity(id.firmware, versionText(id.firmware, fmt::Separators::current()),
                      QString::fromLatin1(id.deviceText));

    const std::optional<Model> model = state.model();
    if (model && olderThanMinimum(*model, id.firmware) && context_.dialogs)
        context_.dialogs->message(window(), DialogService::Icon::Information,
                                  withLineBreaks(context_.text(QStringLiteral("IDS_26"))),
                                  context_.text(QStringLiteral("IDS_27")));

    // Each level shows what it supports and hides what it does not, whichever controller was
    // connected before.
    const FeatureLevel level = featureLevel(id.firmware);
    const bool full = level == FeatureLevel::Full;
    Label_Encoder->setVisible(full);
    Label_EncRAW->setVisible(full);
    for (QPushButton* b : {Btn_SimRUN, Btn_SimSTOP, Btn_SimIN1, Btn_SimIN2, Btn_SimHOME1, Btn_SimHOME2})
        b->setEnabled(full);
    for (QWidget* w : std::initializer_list<QWidget*>{Label_PosDest, Text_Xdest, Label_CzasCalk, Label_Time,
                                                      Label_CzasRozpHam, Label_TimeAccDec, Label_DrogaRozpHam,
                                                      Label_DistAccDec})
        w->setVisible(full);
}

// --- Model profile and working values ---

void ControlPage::applyModelProfile(const ModelProfile& profile) {
    LabelTemp->setVisible(profile.temperature);
    label_UcTemp->setVisible(profile.temperature);
    if (profile.supplyVoltage) {
        Label_Vpower->setVisible(*profile.supplyVoltage);
        Label_Vzas->setVisible(*profile.supplyVoltage);
    }
    LabelInStop->setText(profile.stopInputCaption);
    if (profile.input1Caption)
        Label9->setText(*profile.input1Caption);
    if (profile.input2Caption)
        Label10->setText(*profile.input2Caption);
}

void ControlPage::showWorkingMotion(const QString& maximumSpeed, const QString& acceleration) {
    Edit_SetVmax->setText(maximumSpeed);
    Edit_SetAcc->setText(acceleration);
}

// --- Direct commands ---

void ControlPage::switchDriveOn() {
    send(encodeCode(op::DriveOn));
}

void ControlPage::switchDriveOff() {
    send(encodeCode(op::DriveOff));
}

void ControlPage::stopMotor() {
    send(encodeCode(op::Stop));
}

void ControlPage::zeroPosition() {
    send(encodeCode(op::ZeroPosition));
}

void ControlPage::runAtSpeed(QLineEdit* entry) {
    sendFloat(entry, RunAtSpeedCommand);
}

void ControlPage::goTo(QLineEdit* entry) {
    sendFloat(entry, GoToCommand);
}

void ControlPage::moveBy(QLineEdit* entry) {
    sendFloat(entry, MoveByCommand);
}

void ControlPage::startHoming() {
    sendFloat(Edit_HomeSpeed, HomeCommand);
}

void ControlPage::toggleOutput(int bit) {
    send(encodeOutputToggle(outputMask_, bit));
}

void ControlPage::simulateInput(int bit) {
    send(encodeInputToggle(inputMask_, bit));
}

void ControlPage::setMotionParameters() {
    const int d = displayDecimals();
    const fmt::Separators separators = fmt::Separators::current();
    // Each value is read, limited and written back before the next is looked at; an invalid
    // entry stops there, before anything is sent.
    const auto take = [&](QLineEdit* f) -> std::optional<double> {
        restoreEntryBackground(f);
        const std::optional<double> entry = fmt::readDecimal(f->text(), separators);
        if (!entry) {
            showInvalidEntry(f, *context_.dialogs, *context_.texts);
            return std::nullopt;
        }
        const double value = limitMotionParam(*entry);
        f->setText(motionParamText(value, d, separators));
        return value;
    };
    const std::optional<double> speed = take(Edit_SetVmax);
    if (!speed)
        return;
    const std::optional<double> acceleration = take(Edit_SetAcc);
    if (!acceleration)
        return;
    send(encodeMotionParams(float(*speed), float(*acceleration)));
}

// --- Profile preview ---

void ControlPage::showProfilePicture(int index) {
    if (index < 0 || index >= ProfilePictureCount)
        return;
    Image_XProfile->setPixmap(profilePicture(ProfileElement(index)));
    Image_XProfile->setProperty("pictureIndex", index);
    Image_XProfile->repaint();
}

bool ControlPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == Edit_SetAcc)
            showProfilePicture(int(ProfileElement::Acceleration));
        else if (watched == Edit_Vdest || watched == Edit_Vdest2 || watched == Edit_SetVmax)
            showProfilePicture(int(ProfileElement::MaxSpeed));
        else if (watched == Edit_Xdest || watched == Edit_Xdest2 || watched == Edit_Xmove1 ||
                 watched == Edit_Xmove2)
            showProfilePicture(int(ProfileElement::EndPosition));
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kvt
