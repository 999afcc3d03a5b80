// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/core/ConfigSettings.h"
#include "encoder/core/EncoderVerdict.h"
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
// link the RS485 page shows). Its unit, display precision and start-by-input option are shared
// through the application state.
class ConfigPage : public Page {
    Q_OBJECT
public:
    ConfigPage(AppContext& context, QWidget* parent = nullptr, Build build = Build::Now);

    // The controls as settings (with the Modbus link of the shared state), as a configuration
    // file saves them.
    config::ConfigSettings settings() const;
    // Shows a configuration file's settings, as a user would set them: each encoder button the
    // file selects reacts as if clicked.
    void loadFile(const QByteArray& bytes);
    // The encoder as the controls describe it now.
    encoder::EncoderSettings encoderSettings() const;

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

signals:
    // The report's default speed and acceleration, the working values of manual moves.
    void workingMotionReported(const QString& maximumSpeed, const QString& acceleration);
    // "Testuj": the encoder test window should open.
    void encoderTestRequested();

private:
    void buildContent() override;
    void applyModelProfile(const control::ModelProfile& profile) override;
    // What the firmware of the identity response supports.
    void showFeatureLevel();
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
    void showSettings(const config::ConfigSettings& s);
    config::SettingsLimits limits() const;
    QLineEdit* entryField(config::ConfigEntry entry) const;

    void applyConfigReport(const Response& response);
    void applyEncoderModeReport(const Response& response);
    void applyHomingOptionsReport(const Response& response);

    void saveConfiguration();
    void askFactoryReset();
    void encoderModeChanged();
    void explainMotorAutoOff();
    void showCurrent();
    void showRedCurrent();
    void showStepDivisionHelp();
    void showMotorResolutionHelp();
    void showAnalogInputHelp();

    // The unit selector's unit into the shared state, which every page's unit labels follow.
    void publishUnit();

    // What lies behind the controls: the values shown rounded, the list codes last reported.
    decltype(config::ConfigSettings::shown) shown_{};
    config::ReportedCodes reported_;
};

} // namespace kvt
