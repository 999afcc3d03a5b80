// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "assist/Components.h"
#include "assist/DialogService.h"
#include "config/core/ConfigSettings.h"
#include "shell/Page.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace kvt {

class PopupComboBox;
struct Response;

// The Configuration page ("Konfiguracja"): the controller's stored power-on configuration. The
// controls are the only copy of it: a configuration report fills them, "Zapisz" sends what they
// hold, and the configuration file is saved from and loaded into them (together with the Modbus
// link selectors of the RS485 page).
class ConfigPage : public Page {
    Q_OBJECT
public:
    ConfigPage(AppContext& context, QWidget* parent = nullptr, Build build = Build::Now);

    // Configuration file, from the main menu: asks for a file and saves or loads the settings.
    void saveSettingsToFile();
    void loadSettingsFromFile();

    // Drive parameters
    QGroupBox* GroupBox3;
    QLabel* Label5;
    QScrollBar* ScrollBar_Current;
    QLineEdit* Text_Current;
    QCheckBox* cb_AutoRed;
    QScrollBar* ScrollBar_RedCurrent;
    QLineEdit* Text_RedCurrent;
    QLabel* Label_StepDiv;
    PopupComboBox* ComboBox_StepDiv;
    QLabel* Label_MotorResol;
    PopupComboBox* ComboBox_MotorResol;

    // Default motion parameters
    QGroupBox* GroupBox2;
    QLabel* Label_ConfigSpeedMin;
    QLineEdit* Edit_Vmin;
    QLabel* Label_ConfigSpeedMax;
    QLineEdit* Edit_Vmax;
    QLabel* Label_ConfigAcc;
    QLineEdit* Edit_Amax;

    // Encoder
    QGroupBox* GroupBox_Encoder;
    QRadioButton* RadioButton_EncOFF;
    QRadioButton* RadioButton_EncINKR;
    QRadioButton* RadioButton_EncABS;
    QLabel* label_encres;
    QLineEdit* Edit_EncResol;
    QGroupBox* GroupBox_SSI;
    QRadioButton* CheckBox_SSI_8bit;
    QRadioButton* CheckBox_SSI_10bit;
    QRadioButton* CheckBox_SSI_12bit;
    QPushButton* btn_EncoderTest;

    // Homing
    QGroupBox* GroupBox_Homing;
    QRadioButton* RadioButtonHome0;
    QRadioButton* RadioButtonHome1;
    QRadioButton* RadioButtonHome2;

    // Analog input
    QGroupBox* GroupBox_Ain;
    PopupComboBox* cb_AINmode;
    QLabel* Label_AinMin;
    QLineEdit* Edit_AinMin;
    QLabel* Label_AinMax;
    QLineEdit* Edit_AinMax;

    // Other options
    QGroupBox* GroupBox_Others;
    QCheckBox* cb_MotorAutoOff;
    QCheckBox* cb_AutoSavePos;
    QCheckBox* cb_HomeAsLimitSwitch;
    QCheckBox* cb_InStartStopMode;
    QLabel* Label_KP;
    QLineEdit* Edit_KP;

    // Scaling and display precision
    QLabel* Label2;
    QLabel* Label26;
    QLineEdit* Edit_RevToLinearCoef;
    QComboBox* ComboBox_Units;
    QLabel* Label4;           // never shown
    QComboBox* ComboBox_Decp; // never shown

    QPushButton* btn_SaveConfigSettings; // "Zapisz"
    QPushButton* btn_Reconnect;          // "Odczytaj"
    QPushButton* JvXPButton1;            // "Przywróc fabryczne"

private:
    void buildContent() override;
    // What the main window describes for the file dialog `dialogName` (filter, folder, name).
    DialogService::FileRequest fileRequest(const QString& dialogName) const;
    void buildDriveGroup();
    void buildMotionGroup();
    void buildEncoderGroup();
    void buildHomingGroup();
    void buildAnalogGroup();
    void buildOthersGroup();
    void buildScaling();
    void layOut();
    void connectHandlers();

    // The controls as settings, and back. Showing settings runs no user reaction; the sliders'
    // own displays and the standstill pull-down follow as for any position change.
    config::ConfigSettings settings() const;
    void showSettings(const config::ConfigSettings& s);
    config::SettingsLimits limits() const;
    QLineEdit* entryField(config::ConfigEntry entry) const;

    void applyConfigReport(const Response& response);
    void applyEncoderModeReport(const Response& response);
    void applyHomingOptionsReport(const Response& response);
    void applyFile(const QByteArray& bytes);

    void saveConfiguration();
    void askFactoryReset();
    void encoderModeChanged();
    void explainMotorAutoOff();
    void openEncoderTest();
    void showCurrent();
    void showRedCurrent();
    void showStepDivisionHelp();
    void showMotorResolutionHelp();
    void showAnalogInputHelp();

    void setHelp(const QStringList& lines);
    QWidget* mainWindowComponent(const QString& name) const;
    // The twelve unit-bearing labels follow the unit selector (the Control page rebuilds them).
    void rebuildUnitLabels();

    mutable ComponentCache mainWindowComponents_;
    // What lies behind the controls: the values shown rounded, the list codes last reported.
    decltype(config::ConfigSettings::shown) shown_{};
    config::ReportedCodes reported_;
};

} // namespace kvt
