// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/ConfigPage.h"

#include "assist/Colors.h"
#include "assist/DialogService.h"
#include "config/PopupComboBox.h"
#include "config/core/ConfigFile.h"
#include "config/core/ConfigRecord.h"
#include "control/core/Identity.h"
#include "control/core/Units.h"
#include "format/InvalidEntry.h"
#include "format/core/NumberFormat.h"
#include "link/OpCode.h"
#include "link/Transport.h"
#include "shell/AppContext.h"
#include "shell/AppState.h"
#include "shell/AskedController.h"
#include "shell/Widgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace kvt {

using namespace config;

namespace {

const QColor CurrentDisplay{211, 211, 211};
constexpr int LayoutSpacing = 3;

// The analog-input mode list shows the analog input's own help, the one of its group.
const QStringList AnalogInputHelp = {
    QStringLiteral("Konfiguracja wejscia analogowego 0-10V"),
    QStringLiteral("Tryb pracy wejscia \"Predkosc\" umożliwia sterowanie predkoscią silnika poprzez wejscie "
                   "analogowe 0-10V. By załączyc napęd należy aktywowac wejscie RUN sterownika."),
    QStringLiteral("Prędkosc w stosunku do wartosci napięcia z wejscia 0-10V może zostac przeskalowana."),
    QStringLiteral(
        " \"Pole \"Wartosc dla Vin = 0V\" okresla prędkosc dla wartosci napięcia = 0, natomiast pole "
        "\"Wartosc dla Vin = 10V\" okresla prędkosc dla wartosci napięcia wejsciowego = 10V"),
    QStringLiteral("Wprowadzone wartosci mogą byc takze ujemne, np. "),
};

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

void setChecked(QRadioButton* button, bool checked) {
    if (button->isChecked() == checked)
        return;
    if (checked) {
        button->setChecked(true);
        return;
    }
    QButtonGroup* group = button->group();
    group->setExclusive(false);
    button->setChecked(false);
    group->setExclusive(true);
}

int checkedIndex(std::initializer_list<const QRadioButton*> buttons) {
    int i = 0;
    for (const QRadioButton* b : buttons) {
        if (b->isChecked())
            return i;
        ++i;
    }
    return NoSelection;
}

void select(std::initializer_list<QRadioButton*> buttons, int index) {
    int i = 0;
    for (QRadioButton* b : buttons)
        setChecked(b, i++ == index);
}

} // namespace

ConfigPage::ConfigPage(AppContext& context, QWidget* parent, Build build)
    : Page(context, QStringLiteral("TabSheet3"), parent) {
    if (build == Build::Now)
        ensureBuilt();
}

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

void ConfigPage::connectHandlers() {
    Transport* link = context_.link;
    link->subscribe(op::Configuration, this, [this](const Response& r) { applyConfigReport(r); });
    link->subscribe(op::EncoderModeReport, this, [this](const Response& r) { applyEncoderModeReport(r); });
    link->subscribe(op::HomingOptionsReport, this,
                    [this](const Response& r) { applyHomingOptionsReport(r); });

    connect(btn_SaveConfigSettings, &QPushButton::clicked, this, &ConfigPage::saveConfiguration);
    connect(JvXPButton1, &QPushButton::clicked, this, &ConfigPage::askFactoryReset);
    // Reads the identity and the configuration again.
    connect(btn_Reconnect, &QPushButton::clicked, this, [this] {
        context_.link->sendCode(op::Identity);
        context_.link->sendCode(op::Configuration);
    });

    // Any position change, whoever made it, updates the ampere display and pulls the standstill
    // current down.
    connect(ScrollBar_Current, &QScrollBar::valueChanged, this, &ConfigPage::showCurrent);
    connect(ScrollBar_RedCurrent, &QScrollBar::valueChanged, this, &ConfigPage::showRedCurrent);
    // ... and so does another model's full-scale current.
    connect(context_.state, &AppState::fullScaleCurrentChanged, this, [this] {
        showCurrent();
        showRedCurrent();
    });
    connect(cb_AutoRed, &QCheckBox::clicked, this,
            [this](bool checked) { ScrollBar_RedCurrent->setEnabled(checked); });

    for (QRadioButton* b : {RadioButton_EncOFF, RadioButton_EncINKR, RadioButton_EncABS})
        connect(b, &QRadioButton::clicked, this, &ConfigPage::encoderModeChanged);
    connect(cb_MotorAutoOff, &QCheckBox::clicked, this, &ConfigPage::explainMotorAutoOff);
    connect(btn_EncoderTest, &QPushButton::clicked, this, &ConfigPage::encoderTestRequested);

    connect(ComboBox_StepDiv, &PopupComboBox::popupOpened, this, &ConfigPage::showStepDivisionHelp);
    connect(ComboBox_MotorResol, &PopupComboBox::popupOpened, this, &ConfigPage::showMotorResolutionHelp);
    connect(cb_AINmode, &PopupComboBox::popupOpened, this, &ConfigPage::showAnalogInputHelp);

    // What other pages follow: the unit the user picks, the display precision, the start-by-input
    // option however it was set, and the firmware's features.
    connect(ComboBox_Units, &QComboBox::activated, this, &ConfigPage::publishUnit);
    connect(ComboBox_Decp, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index <= control::MaxDisplayDecimals)
            context_.state->setDisplayDecimals(index);
    });
    connect(cb_InStartStopMode, &QCheckBox::toggled, context_.state, &AppState::setStartByInput);
    context_.state->setStartByInput(cb_InStartStopMode->isChecked());
    connect(context_.state, &AppState::identityReported, this, &ConfigPage::showFeatureLevel);
}

SettingsLimits ConfigPage::limits() const {
    SettingsLimits l;
    l.currentMaximum = ScrollBar_Current->maximum();
    l.stepDivisionCount = ComboBox_StepDiv->count();
    l.decimals = context_.state->displayDecimals();
    return l;
}

ConfigSettings ConfigPage::settings() const {
    ConfigSettings s;
    s.MaxCurrent = ScrollBar_Current->value();
    s.RedCurrent = ScrollBar_RedCurrent->value();
    s.RedCurrentON = cb_AutoRed->isChecked();
    s.Microstep = ComboBox_StepDiv->currentIndex();
    s.MotorResol = ComboBox_MotorResol->currentIndex();
    s.DefMinVel = Edit_Vmin->text();
    s.DefMaxVel = Edit_Vmax->text();
    s.DefAcc = Edit_Amax->text();
    s.EncoderMode = checkedIndex({RadioButton_EncOFF, RadioButton_EncINKR, RadioButton_EncABS});
    s.EncoderResol = Edit_EncResol->text();
    s.SsiWord = std::max(0, checkedIndex({CheckBox_SSI_8bit, CheckBox_SSI_10bit, CheckBox_SSI_12bit}));
    s.HomingMode = checkedIndex({RadioButtonHome0, RadioButtonHome1, RadioButtonHome2});
    s.OffAfterError = cb_MotorAutoOff->isChecked();
    s.PositionMem = cb_AutoSavePos->isChecked();
    s.HomieAsLimitSw = cb_HomeAsLimitSwitch->isChecked();
    s.StartStopMode = cb_InStartStopMode->isChecked();
    s.AinMode = cb_AINmode->currentIndex();
    s.AinMinVal = Edit_AinMin->text();
    s.AinMaxVal = Edit_AinMax->text();
    s.RevToLinCoef = Edit_RevToLinearCoef->text();
    s.Kp = Edit_KP->text();
    s.Units = ComboBox_Units->currentIndex();
    s.Decp = ComboBox_Decp->currentIndex();
    s.shown = shown_;
    s.reported = reported_;
    // The Modbus link selectors live on the RS485 page; the shared state holds what they show.
    s.Baudrate = context_.state->modbusRateIndex();
    s.Address = context_.state->modbusAddressIndex();
    return s;
}

void ConfigPage::showSettings(const ConfigSettings& s) {
    // The motor current first, so the standstill current is limited by the new one.
    ScrollBar_Current->setValue(s.MaxCurrent);
    ScrollBar_RedCurrent->setValue(s.RedCurrent);
    cb_AutoRed->setChecked(s.RedCurrentON);
    ScrollBar_RedCurrent->setEnabled(s.RedCurrentON);
    ComboBox_StepDiv->setCurrentIndex(s.Microstep);
    ComboBox_MotorResol->setCurrentIndex(s.MotorResol);
    Edit_Vmin->setText(s.DefMinVel);
    Edit_Vmax->setText(s.DefMaxVel);
    Edit_Amax->setText(s.DefAcc);
    select({RadioButton_EncOFF, RadioButton_EncINKR, RadioButton_EncABS}, s.EncoderMode);
    Edit_EncResol->setText(s.EncoderResol);
    select({CheckBox_SSI_8bit, CheckBox_SSI_10bit, CheckBox_SSI_12bit}, s.SsiWord);
    select({RadioButtonHome0, RadioButtonHome1, RadioButtonHome2}, s.HomingMode);
    cb_MotorAutoOff->setChecked(s.OffAfterError);
    cb_AutoSavePos->setChecked(s.PositionMem);
    cb_HomeAsLimitSwitch->setChecked(s.HomieAsLimitSw);
    cb_InStartStopMode->setChecked(s.StartStopMode);
    cb_AINmode->setCurrentIndex(s.AinMode);
    Edit_AinMin->setText(s.AinMinVal);
    Edit_AinMax->setText(s.AinMaxVal);
    Edit_RevToLinearCoef->setText(s.RevToLinCoef);
    ComboBox_Units->setCurrentIndex(s.Units);
    ComboBox_Decp->setCurrentIndex(s.Decp);
    context_.state->setModbusLink(s.Baudrate, s.Address);
    Edit_KP->setText(s.Kp);
    shown_ = s.shown;
    reported_ = s.reported;
}

QLineEdit* ConfigPage::entryField(ConfigEntry entry) const {
    switch (entry) {
    case ConfigEntry::DefMinVel:
        return Edit_Vmin;
    case ConfigEntry::DefMaxVel:
        return Edit_Vmax;
    case ConfigEntry::DefAcc:
        return Edit_Amax;
    case ConfigEntry::EncoderResol:
        return Edit_EncResol;
    case ConfigEntry::AinMinVal:
        return Edit_AinMin;
    case ConfigEntry::AinMaxVal:
        return Edit_AinMax;
    case ConfigEntry::RevToLinCoef:
        return Edit_RevToLinearCoef;
    case ConfigEntry::Kp:
        break;
    }
    return Edit_KP;
}

void ConfigPage::applyConfigReport(const Response& response) {
    const ConfigReport report = decodeConfigReport(response.data);
    ConfigSettings s = settings();
    const int encoderBefore = s.EncoderMode;
    config::applyConfigReport(s, report, limits());
    showSettings(s);

    // The report's default speed and acceleration are also the working values of manual moves.
    emit workingMotionReported(s.DefMaxVel, s.DefAcc);
    context_.state->setFirmwareVersion(report.FirmwareVersion, fmt::general(report.FirmwareVersion, 3, 2));

    // A button the report selects behaves as if clicked, when the selection changed.
    if (s.EncoderMode != encoderBefore)
        encoderModeChanged();
    // The unit labels of every page follow, after every record.
    publishUnit();
}

void ConfigPage::applyEncoderModeReport(const Response& response) {
    ConfigSettings s = settings();
    const int before = s.EncoderMode;
    config::applyEncoderModeReport(s, decodeEncoderModeReport(response.data));
    select({RadioButton_EncOFF, RadioButton_EncINKR, RadioButton_EncABS}, s.EncoderMode);
    if (s.EncoderMode != before)
        encoderModeChanged();
}

void ConfigPage::applyHomingOptionsReport(const Response& response) {
    ConfigSettings s = settings();
    config::applyHomingOptionsReport(s, decodeHomingOptionsReport(response.data));
    select({RadioButtonHome0, RadioButtonHome1, RadioButtonHome2}, s.HomingMode);
    cb_MotorAutoOff->setChecked(s.OffAfterError);
    cb_AutoSavePos->setChecked(s.PositionMem);
    cb_HomeAsLimitSwitch->setChecked(s.HomieAsLimitSw);
}

void ConfigPage::saveConfiguration() {
    ConfigSettings s = settings();
    const WritePreparation p = prepareConfigWrite(s, limits());
    shown_ = s.shown;
    for (ConfigEntry entry : p.checked) {
        QLineEdit* field = entryField(entry);
        restoreEntryBackground(field);
        if (entry != p.invalid)
            field->setText(entryText(s, entry));
    }
    if (p.invalid) {
        showInvalidEntry(entryField(*p.invalid), *context_.dialogs, *context_.texts,
                         *p.invalid == ConfigEntry::EncoderResol ? QStringLiteral("IDS_132")
                                                                 : QStringLiteral("IDS_109"));
        return;
    }
    context_.link->send(encodeConfigWrite(*p.command));
}

void ConfigPage::askFactoryReset() {
    QPointer<ConfigPage> self(this);
    context_.dialogs->message(
        context_.mainWindow, DialogService::Icon::Question, context_.text("IDS_124"), context_.text("IDS_55"),
        DialogService::Buttons::OkCancel, [self, asked = AskedController(context_)](bool ok) {
            if (ok && self && asked.stillActive(self->context_, self->context_.mainWindow))
                self->context_.link->send(factoryResetCommand());
        });
}

void ConfigPage::encoderModeChanged() {
    if (RadioButton_EncOFF->isChecked()) {
        RadioButtonHome2->setEnabled(false);
        Edit_EncResol->setEnabled(false);
        cb_MotorAutoOff->setEnabled(false);
        GroupBox_SSI->hide();
        btn_EncoderTest->setEnabled(false);
    } else if (RadioButton_EncINKR->isChecked()) {
        RadioButtonHome2->setEnabled(true);
        Edit_EncResol->setEnabled(true);
        cb_MotorAutoOff->setEnabled(true);
        GroupBox_SSI->hide();
        btn_EncoderTest->setEnabled(true);
    } else if (RadioButton_EncABS->isChecked()) {
        // The other three controls keep the state they had.
        GroupBox_SSI->show();
        btn_EncoderTest->setEnabled(true);
    }
}

void ConfigPage::explainMotorAutoOff() {
    // Only a hint: the tick stays as the user set it.
    if (RadioButton_EncOFF->isChecked())
        context_.dialogs->message(context_.mainWindow, DialogService::Icon::Information,
                                  context_.text("IDS_171"), context_.text("IDS_55"));
}

void ConfigPage::showCurrent() {
    Text_Current->setText(currentText(ScrollBar_Current->value(), context_.state->fullScaleCurrent(),
                                      fmt::Separators::current()));
    if (ScrollBar_Current->value() < ScrollBar_RedCurrent->value())
        ScrollBar_RedCurrent->setValue(ScrollBar_Current->value());
}

void ConfigPage::showRedCurrent() {
    Text_RedCurrent->setText(currentText(ScrollBar_RedCurrent->value(), context_.state->fullScaleCurrent(),
                                         fmt::Separators::current()));
    if (ScrollBar_Current->value() < ScrollBar_RedCurrent->value())
        ScrollBar_RedCurrent->setValue(ScrollBar_Current->value());
}

void ConfigPage::showStepDivisionHelp() {
    QStringList lines;
    for (int key = 189; key <= 198; ++key)
        lines << context_.text(QStringLiteral("IDS_%1").arg(key));
    emit helpRequested(lines);
}

void ConfigPage::showMotorResolutionHelp() {
    emit helpRequested({context_.text("IDS_199"), context_.text("IDS_200")});
}

void ConfigPage::showAnalogInputHelp() {
    emit helpRequested(AnalogInputHelp);
}

void ConfigPage::publishUnit() {
    context_.state->setUnit(ComboBox_Units->currentIndex() >= 0 ? ComboBox_Units->currentText() : QString());
}

void ConfigPage::applyModelProfile(const control::ModelProfile& profile) {
    ScrollBar_Current->setMaximum(profile.currentCeiling);
    cb_InStartStopMode->setVisible(profile.startByInput);
    cb_AutoSavePos->setVisible(profile.positionMemory);
    ComboBox_MotorResol->setEnabled(profile.motorResolutionSelectable);
    Label_MotorResol->setEnabled(profile.motorResolutionSelectable);
    btn_EncoderTest->setVisible(profile.encoderTest);
    if (profile.encoderResolutionEntry)
        Edit_EncResol->setVisible(*profile.encoderResolutionEntry);
    label_encres->setVisible(profile.encoderResolutionLabel);
    RadioButton_EncABS->setVisible(profile.absoluteEncoder);
    RadioButton_EncINKR->setText(profile.encoderCaption);
    if (profile.stepDivisions) {
        // The list is replaced without a selection: the next record or file selects.
        ComboBox_StepDiv->clear();
        ComboBox_StepDiv->addItems(*profile.stepDivisions);
        ComboBox_StepDiv->setCurrentIndex(-1);
    }
    if (profile.displayDecimals < ComboBox_Decp->count())
        ComboBox_Decp->setCurrentIndex(profile.displayDecimals);
}

void ConfigPage::showFeatureLevel() {
    // Each level shows what it supports and hides what it does not, whichever controller was
    // connected before.
    const bool basic = control::featureLevel(context_.state->firmwareVersionValue()) == control::FeatureLevel::Basic;
    GroupBox_Ain->setVisible(!basic);
    cb_AutoSavePos->setVisible(false);
    Edit_Vmin->setEnabled(basic);
    for (QWidget* scaling : std::initializer_list<QWidget*>{Label2, Label26, Edit_RevToLinearCoef, ComboBox_Units})
        scaling->setVisible(!basic);
    if (basic) {
        // Firmware without scaling shows revolutions.
        if (ComboBox_Units->count() > 0)
            ComboBox_Units->setCurrentIndex(0);
        publishUnit();
    }
}

encoder::EncoderSettings ConfigPage::encoderSettings() const {
    using Kind = encoder::EncoderSettings::Kind;
    encoder::EncoderSettings settings;
    if (RadioButton_EncABS->isChecked()) {
        settings.kind = Kind::Absolute;
        settings.ssiBits = CheckBox_SSI_10bit->isChecked()   ? 10
                           : CheckBox_SSI_12bit->isChecked() ? 12
                                                             : 8;
    } else if (RadioButton_EncINKR->isChecked()) {
        settings.kind = Kind::Incremental;
        settings.resolution = fmt::readInteger(Edit_EncResol->text());
    }
    return settings;
}

void ConfigPage::loadFile(const QByteArray& bytes) {
    ConfigSettings s = settings();
    const ConfigFileLoad load = applyConfigFile(IniDocument::parse(bytes), s, limits());
    showSettings(s);
    // Each encoder button the file selected runs the reaction of a click, in file order.
    for (int button : load.encoderSelections) {
        select({RadioButton_EncOFF, RadioButton_EncINKR, RadioButton_EncABS}, button);
        encoderModeChanged();
    }
    select({RadioButton_EncOFF, RadioButton_EncINKR, RadioButton_EncABS}, s.EncoderMode);
    publishUnit();
}

} // namespace kvt
