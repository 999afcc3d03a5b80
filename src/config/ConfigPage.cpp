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
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace kvt {

using namespace config;

namespace {

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
