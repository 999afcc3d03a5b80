// SPDX-License-Identifier: GPL-3.0-or-later
// The Configuration page's controls and their layout; what they do is in ConfigPage.cpp.
#include "config/ConfigPage.h"

#include "assist/Colors.h"
#include "config/PopupComboBox.h"
#include "config/core/ConfigRecord.h"
#include "control/core/Units.h"
#include "shell/Widgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace kvt {

using namespace config;

namespace {

const QColor CurrentDisplay{211, 211, 211};
constexpr int LayoutSpacing = 3;

QScrollBar* currentSlider(QWidget* parent, const char* name) {
    auto* s = named(new QScrollBar(Qt::Horizontal, parent), name);
    s->setRange(CurrentMinimum, RedCurrentMaximum);
    s->setSingleStep(5);
    s->setPageStep(10);
    s->setValue(CurrentMinimum);
    return s;
}

QLineEdit* currentDisplay(QWidget* parent, const char* name) {
    auto* e = named(new QLineEdit(parent), name);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setFixedWidth(44);
    setBackground(e, CurrentDisplay);
    return e;
}

QGridLayout* grid(QGroupBox* box) {
    auto* g = new QGridLayout(box);
    g->setContentsMargins(6, 2, 6, 4);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(LayoutSpacing);
    return g;
}

// Each option group has its own button group: automatic exclusivity would also reach into the
// SSI buttons nested in the encoder group. The buttons of a group may all be clear (before the
// first report, or after a file cleared them): a checked button is unchecked with its group's
// exclusivity lifted for a moment.
void exclusive(std::initializer_list<QRadioButton*> buttons) {
    auto* group = new QButtonGroup((*buttons.begin())->parent());
    for (QRadioButton* b : buttons)
        group->addButton(b);
}

} // namespace

void ConfigPage::buildContent() {
    buildDriveGroup();
    buildMotionGroup();
    buildEncoderGroup();
    buildHomingGroup();
    buildAnalogGroup();
    buildOthersGroup();
    buildScaling();

    btn_SaveConfigSettings = named(new QPushButton(QStringLiteral("Zapisz"), this), "btn_SaveConfigSettings");
    btn_Reconnect = named(new QPushButton(QStringLiteral("Odczytaj"), this), "btn_Reconnect");
    JvXPButton1 = named(new QPushButton(QStringLiteral("Przywróc fabryczne"), this), "JvXPButton1");

    layOut();
    connectHandlers();
}

void ConfigPage::buildDriveGroup() {
    GroupBox3 = named(new QGroupBox(QStringLiteral("Domyslne parametry napedu"), this), "GroupBox3");
    QGridLayout* g = grid(GroupBox3);
    Label5 = named(new QLabel(QStringLiteral("Prąd maksymalny [A]"), GroupBox3), "Label5");
    ScrollBar_Current = currentSlider(GroupBox3, "ScrollBar_Current");
    Text_Current = currentDisplay(GroupBox3, "Text_Current");
    cb_AutoRed = named(new QCheckBox(QStringLiteral("Auto redukcja prądu [A]"), GroupBox3), "cb_AutoRed");
    ScrollBar_RedCurrent = currentSlider(GroupBox3, "ScrollBar_RedCurrent");
    ScrollBar_RedCurrent->setEnabled(false); // follows cb_AutoRed, clear at start
    Text_RedCurrent = currentDisplay(GroupBox3, "Text_RedCurrent");

    Label_StepDiv = named(new QLabel(QStringLiteral("Podział kroku"), GroupBox3), "Label_StepDiv");
    ComboBox_StepDiv = named(new PopupComboBox(GroupBox3), "ComboBox_StepDiv");
    ComboBox_StepDiv->addItems(stepDivisionItems(std::nullopt));
    ComboBox_StepDiv->setCurrentIndex(InitialStepDivision);
    Label_MotorResol = named(new QLabel(QStringLiteral("Skok silnika"), GroupBox3), "Label_MotorResol");
    ComboBox_MotorResol = named(new PopupComboBox(GroupBox3), "ComboBox_MotorResol");
    ComboBox_MotorResol->addItems(motorResolutionItems());
    ComboBox_MotorResol->setCurrentIndex(InitialMotorResolution);

    g->addWidget(Label5, 0, 0, 1, 2);
    g->addWidget(ScrollBar_Current, 1, 0, 1, 2);
    g->addWidget(Text_Current, 1, 2);
    g->addWidget(cb_AutoRed, 2, 0, 1, 3);
    g->addWidget(ScrollBar_RedCurrent, 3, 0, 1, 2);
    g->addWidget(Text_RedCurrent, 3, 2);
    g->addWidget(Label_StepDiv, 4, 0);
    g->addWidget(ComboBox_StepDiv, 4, 1, 1, 2);
    g->addWidget(Label_MotorResol, 5, 0);
    g->addWidget(ComboBox_MotorResol, 5, 1, 1, 2);
    g->setColumnStretch(1, 1);
}

void ConfigPage::buildMotionGroup() {
    GroupBox2 = named(new QGroupBox(QStringLiteral("Domyslne parametry ruchu"), this), "GroupBox2");
    QGridLayout* g = grid(GroupBox2);
    const auto row = [&](int r, QLabel*& label, const char* labelName, const char* caption, QLineEdit*& edit,
                         const char* editName) {
        label = named(new QLabel(QString::fromUtf8(caption), GroupBox2), labelName);
        edit = named(new QLineEdit(GroupBox2), editName);
        edit->setFixedWidth(80);
        g->addWidget(label, r, 0);
        g->addWidget(edit, r, 1);
    };
    row(0, Label_ConfigSpeedMin, "Label_ConfigSpeedMin", "Prędkosc min. [obr/s]", Edit_Vmin, "Edit_Vmin");
    row(1, Label_ConfigSpeedMax, "Label_ConfigSpeedMax", "Prędkosc maks.[obr/s]", Edit_Vmax, "Edit_Vmax");
    row(2, Label_ConfigAcc, "Label_ConfigAcc", "Przyspieszenie [obr/s^2]", Edit_Amax, "Edit_Amax");
    g->setColumnStretch(0, 1);
}

void ConfigPage::buildEncoderGroup() {
    GroupBox_Encoder = named(new QGroupBox(QStringLiteral("Enkoder"), this), "GroupBox_Encoder");
    QGridLayout* g = grid(GroupBox_Encoder);
    RadioButton_EncOFF =
        named(new QRadioButton(QStringLiteral("Brak enkodera"), GroupBox_Encoder), "RadioButton_EncOFF");
    RadioButton_EncINKR = named(new QRadioButton(QStringLiteral("Enkoder inkrementalny"), GroupBox_Encoder),
                                "RadioButton_EncINKR");
    RadioButton_EncABS = named(new QRadioButton(QStringLiteral("Enkoder absolutny (SSI)"), GroupBox_Encoder),
                               "RadioButton_EncABS");
    label_encres =
        named(new QLabel(QStringLiteral("Rozdzielczosc enkodera:"), GroupBox_Encoder), "label_encres");
    Edit_EncResol = named(new QLineEdit(GroupBox_Encoder), "Edit_EncResol");
    Edit_EncResol->setFixedWidth(70);

    GroupBox_SSI = named(new QGroupBox(GroupBox_Encoder), "GroupBox_SSI");
    auto* ssi = new QHBoxLayout(GroupBox_SSI);
    ssi->setContentsMargins(6, 2, 6, 2);
    CheckBox_SSI_8bit = named(new QRadioButton(QStringLiteral("8bit"), GroupBox_SSI), "CheckBox_SSI_8bit");
    CheckBox_SSI_10bit = named(new QRadioButton(QStringLiteral("10bit"), GroupBox_SSI), "CheckBox_SSI_10bit");
    CheckBox_SSI_12bit = named(new QRadioButton(QStringLiteral("12bit"), GroupBox_SSI), "CheckBox_SSI_12bit");
    CheckBox_SSI_8bit->setChecked(true);
    ssi->addWidget(CheckBox_SSI_8bit);
    ssi->addWidget(CheckBox_SSI_10bit);
    ssi->addWidget(CheckBox_SSI_12bit);
    exclusive({CheckBox_SSI_8bit, CheckBox_SSI_10bit, CheckBox_SSI_12bit});
    exclusive({RadioButton_EncOFF, RadioButton_EncINKR, RadioButton_EncABS});
    btn_EncoderTest = named(new QPushButton(QStringLiteral("Testuj"), GroupBox_Encoder), "btn_EncoderTest");

    g->addWidget(RadioButton_EncOFF, 0, 0, 1, 2);
    g->addWidget(RadioButton_EncINKR, 1, 0, 1, 2);
    g->addWidget(RadioButton_EncABS, 2, 0, 1, 2);
    g->addWidget(label_encres, 3, 0);
    g->addWidget(Edit_EncResol, 3, 1);
    g->addWidget(GroupBox_SSI, 4, 0);
    g->addWidget(btn_EncoderTest, 4, 1);
    g->setColumnStretch(0, 1);
}

void ConfigPage::buildHomingGroup() {
    GroupBox_Homing = named(new QGroupBox(QStringLiteral("Bazowanie "), this), "GroupBox_Homing");
    auto* column = new QVBoxLayout(GroupBox_Homing);
    column->setContentsMargins(6, 2, 6, 4);
    column->setSpacing(LayoutSpacing);
    RadioButtonHome0 =
        named(new QRadioButton(QStringLiteral("Bazowanie proste"), GroupBox_Homing), "RadioButtonHome0");
    RadioButtonHome1 =
        named(new QRadioButton(QStringLiteral("Bazowanie precyzyjne"), GroupBox_Homing), "RadioButtonHome1");
    RadioButtonHome2 = named(new QRadioButton(QStringLiteral("Bazowanie inteligentne"), GroupBox_Homing),
                             "RadioButtonHome2");
    column->addWidget(RadioButtonHome0);
    column->addWidget(RadioButtonHome1);
    column->addWidget(RadioButtonHome2);
    exclusive({RadioButtonHome0, RadioButtonHome1, RadioButtonHome2});
}

void ConfigPage::buildAnalogGroup() {
    GroupBox_Ain =
        named(new QGroupBox(QStringLiteral("Wejscie analogowe 0-10V  (wejscie *CS)"), this), "GroupBox_Ain");
    QGridLayout* g = grid(GroupBox_Ain);
    cb_AINmode = named(new PopupComboBox(GroupBox_Ain), "cb_AINmode");
    cb_AINmode->addItems(analogModeItems());
    cb_AINmode->setCurrentIndex(0);
    Label_AinMin = named(new QLabel(QStringLiteral("Wartosc dla Vin = 0V:"), GroupBox_Ain), "Label_AinMin");
    Edit_AinMin = named(new QLineEdit(GroupBox_Ain), "Edit_AinMin");
    Label_AinMax = named(new QLabel(QStringLiteral("Wartosc dla Vin = 10V:"), GroupBox_Ain), "Label_AinMax");
    Edit_AinMax = named(new QLineEdit(GroupBox_Ain), "Edit_AinMax");
    Edit_AinMin->setFixedWidth(80);
    Edit_AinMax->setFixedWidth(80);
    g->addWidget(cb_AINmode, 0, 1);
    g->addWidget(Label_AinMin, 1, 0);
    g->addWidget(Edit_AinMin, 1, 1);
    g->addWidget(Label_AinMax, 2, 0);
    g->addWidget(Edit_AinMax, 2, 1);
    g->setColumnStretch(0, 1);
}

void ConfigPage::buildOthersGroup() {
    GroupBox_Others = named(new QGroupBox(QStringLiteral("Pozostałe"), this), "GroupBox_Others");
    QGridLayout* g = grid(GroupBox_Others);
    cb_MotorAutoOff =
        named(new QCheckBox(QStringLiteral("Wyłącz po zablokowaniu"), GroupBox_Others), "cb_MotorAutoOff");
    cb_AutoSavePos =
        named(new QCheckBox(QStringLiteral("Pamięc pozycji po wyłączeniu zasilania"), GroupBox_Others),
              "cb_AutoSavePos");
    cb_HomeAsLimitSwitch =
        named(new QCheckBox(QStringLiteral("Wejcia HOME (K) jako sygnały krańcowe"), GroupBox_Others),
              "cb_HomeAsLimitSwitch");
    cb_InStartStopMode =
        named(new QCheckBox(QStringLiteral("Wejscie START jako Start/Stop programu "), GroupBox_Others),
              "cb_InStartStopMode");
    Label_KP =
        named(new QLabel(QStringLiteral("Wzmocnienie regulatora pozycji:"), GroupBox_Others), "Label_KP");
    Edit_KP = named(new QLineEdit(GroupBox_Others), "Edit_KP");
    Edit_KP->setFixedWidth(50);
    g->addWidget(cb_MotorAutoOff, 0, 0, 1, 2);
    g->addWidget(cb_AutoSavePos, 1, 0, 1, 2);
    g->addWidget(cb_HomeAsLimitSwitch, 2, 0, 1, 2);
    g->addWidget(cb_InStartStopMode, 3, 0, 1, 2);
    g->addWidget(Label_KP, 4, 0);
    g->addWidget(Edit_KP, 4, 1);
    g->setColumnStretch(0, 1);
}

void ConfigPage::buildScaling() {
    Label2 =
        named(new QLabel(QStringLiteral("Współczynnik skalujący (dla przekładni / modułu liniowego):"), this),
              "Label2");
    Label2->setWordWrap(true);
    Label26 = named(new QLabel(QStringLiteral("1 obrót silnika = "), this), "Label26");
    Edit_RevToLinearCoef = named(new QLineEdit(QStringLiteral("1"), this), "Edit_RevToLinearCoef");
    Edit_RevToLinearCoef->setFixedWidth(80);
    ComboBox_Units = named(new QComboBox(this), "ComboBox_Units");
    ComboBox_Units->addItems(control::unitItems());
    ComboBox_Units->setCurrentIndex(0);

    // The precision selector is not shown; the model profile and the file set it.
    Label4 = named(new QLabel(QStringLiteral("Miejsc po przecinku"), this), "Label4");
    ComboBox_Decp = named(new QComboBox(this), "ComboBox_Decp");
    ComboBox_Decp->addItems(control::decimalsItems());
    ComboBox_Decp->setCurrentIndex(3);
    Label4->hide();
    ComboBox_Decp->hide();
}

void ConfigPage::layOut() {
    auto* page = new QGridLayout(this);
    page->setContentsMargins(4, 4, 4, 4);
    page->setHorizontalSpacing(4);
    page->setVerticalSpacing(LayoutSpacing);

    auto* left = new QVBoxLayout;
    left->setSpacing(LayoutSpacing);
    left->addWidget(GroupBox3);
    left->addWidget(GroupBox2);
    left->addWidget(GroupBox_Encoder);
    left->addStretch(1);

    auto* scaling = new QHBoxLayout;
    scaling->setSpacing(4);
    scaling->addWidget(Label26);
    scaling->addWidget(Edit_RevToLinearCoef);
    scaling->addWidget(ComboBox_Units);
    scaling->addStretch(1);

    auto* right = new QVBoxLayout;
    right->setSpacing(LayoutSpacing);
    right->addWidget(GroupBox_Homing);
    right->addWidget(GroupBox_Ain);
    right->addWidget(GroupBox_Others);
    right->addSpacing(2);
    right->addWidget(Label2);
    right->addLayout(scaling);
    right->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(JvXPButton1);
    buttons->addStretch(1);
    buttons->addWidget(btn_Reconnect);
    buttons->addWidget(btn_SaveConfigSettings);

    page->addLayout(left, 0, 0);
    page->addLayout(right, 0, 1);
    page->addLayout(buttons, 1, 0, 1, 2);
    page->setColumnStretch(0, 1);
    page->setColumnStretch(1, 1);
    page->setRowStretch(0, 1);
}

} // namespace kvt
