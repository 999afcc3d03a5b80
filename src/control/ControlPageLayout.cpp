// SPDX-License-Identifier: GPL-3.0-or-later
// The Control page's controls and their layout; what they do is in ControlPage.cpp.
#include "control/ControlPage.h"

#include "assist/Colors.h"
#include "control/ProfilePictures.h"
#include "shell/Widgets.h"

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

} // namespace

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

} // namespace kvt
