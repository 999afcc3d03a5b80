// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "control/core/LiveStatus.h"
#include "control/core/MotionCommands.h"
#include "link/Model.h"
#include "shell/Page.h"

#include <QPointer>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kvt {

struct Response;

// The Control page ("Sterowanie"): the live status of the controller, the direct motion
// commands, the working motion parameters with the profile preview. It takes the controller's
// identity into the shared state.
class ControlPage : public Page {
    Q_OBJECT
public:
    ControlPage(AppContext& context, QWidget* parent = nullptr);

    // The live status is polled while this page is shown.
    std::optional<quint8> pollRequest() const override;

    QString helpKey() const override { return QStringLiteral("IDS_209"); }

    // The working maximum speed and acceleration of manual moves, as a configuration record
    // reports them.
    void showWorkingMotion(const QString& maximumSpeed, const QString& acceleration);

    // Response handlers.
    void showLiveStatus(const Response& response);
    void showIdentity(const Response& response);

    // What the buttons do.
    void switchDriveOn();
    void switchDriveOff();
    void stopMotor(); // both "STOP" buttons
    void zeroPosition();
    void runAtSpeed(QLineEdit* entry);
    void goTo(QLineEdit* entry);
    void moveBy(QLineEdit* entry);
    void startHoming();
    void toggleOutput(int bit);  // 0 Out1, 1 Out2
    void simulateInput(int bit); // 0 Run, 1 Stop, 2 In1, 3 In2, 4 Home1, 5 Home2
    void setMotionParameters();

    // Shows picture `index` of the profile pictures in Image_XProfile.
    void showProfilePicture(int index);

    // Input state ("Stan wejsc").
    QGroupBox* GroupBox6;
    QLabel* Label11;
    QLabel* LabelInStop;
    QLabel* Label20;
    QLabel* Label21;
    QLabel* Label9;
    QLabel* Label10;
    QLineEdit* Edit_Run;
    QLineEdit* Edit_StopIn3;
    QLineEdit* Edit_Home1;
    QLineEdit* Edit_Home2;
    QLineEdit* Edit_In1;
    QLineEdit* Edit_In2;
    QPushButton* Btn_SimRUN;
    QPushButton* Btn_SimSTOP;
    QPushButton* Btn_SimHOME1;
    QPushButton* Btn_SimHOME2;
    QPushButton* Btn_SimIN1;
    QPushButton* Btn_SimIN2;
    // Output state ("Stan wyjsc").
    QGroupBox* GroupBox7;
    QLabel* Label13;
    QLabel* Label14;
    QLineEdit* Edit_Out1;
    QLineEdit* Edit_Out2;
    QPushButton* btn_ChangeOut1;
    QPushButton* btn_ChangeOut2;
    // Drive state ("Status napędu").
    QGroupBox* GroupBox_MotorStatus;
    QLineEdit* Edit_MotorStatus;
    // Readings ("Odczyty").
    QGroupBox* GroupBoxAnalog;
    QLabel* Label_SpeedActual;
    QLineEdit* Text_Vact;
    QLabel* Label_PosActual;
    QLineEdit* Text_Xact;
    QLabel* Label_PosDest;
    QLineEdit* Text_Xdest;
    QLabel* Label_Encoder;
    QLabel* Label_EncRAW;
    QLabel* Label19;
    QLabel* Label_Vain;
    QLabel* LabelTemp;
    QLabel* label_UcTemp;
    QLabel* Label_Vpower;
    QLabel* Label_Vzas;
    // Direct commands ("Sterowanie").
    QGroupBox* GroupBox8;
    QPushButton* Btn_MotorEnable;
    QPushButton* btn_MotorDisable;
    QPushButton* btn_MotorStop;
    QPushButton* btn_ResetPos;
    QGroupBox* GroupBoxSpeedSets;
    QLineEdit* Edit_Vdest;
    QPushButton* btn_SetVdest1;
    QLineEdit* Edit_Vdest2;
    QPushButton* btn_SetVdest2;
    QGroupBox* GroupBox_PosSets;
    QLineEdit* Edit_Xdest;
    QPushButton* btn_SetXdest1;
    QLineEdit* Edit_Xdest2;
    QPushButton* btn_SetXdest2;
    QGroupBox* GroupBox_PosRelSet;
    QLineEdit* Edit_Xmove1;
    QPushButton* btn_SetXmove1;
    QLineEdit* Edit_Xmove2;
    QPushButton* btn_SetXmove2;
    // Homing ("Bazowanie").
    QGroupBox* GroupBox13;
    QLabel* Label_HomeSpeed;
    QLineEdit* Edit_HomeSpeed;
    QPushButton* btn_Home;
    // Motion parameters ("Parametry ruchu").
    QGroupBox* GroupBox_MoveParameters;
    QLabel* Label_SpeedMax;
    QLineEdit* Edit_SetVmax;
    QLabel* Label_Acc;
    QLineEdit* Edit_SetAcc;
    QPushButton* btn_SetMoveParam;
    // Profile preview ("Trajektoria ruchu- podgląd").
    QGroupBox* GroupBox5;
    QLabel* Image_XProfile;
    QLabel* Label_CzasCalk;
    QLabel* Label_Time;
    QLabel* Label_CzasRozpHam;
    QLabel* Label_TimeAccDec;
    QLabel* Label_DrogaRozpHam;
    QLabel* Label_DistAccDec;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildContent() override;
    void applyModelProfile(const control::ModelProfile& profile) override;
    void buildInputs();
    void buildOutputsAndStatus();
    void buildReadings();
    void buildCommands();
    void buildHoming();
    void buildMotionParameters();
    void buildPreview();
    void wireHandlers();

    void send(const QByteArray& command);
    void sendFloat(QLineEdit* field, const control::FloatCommand& command);
    int displayDecimals() const;
    QString unitText() const;

    quint8 inputMask_ = 0;  // input bits of the last live status
    quint8 outputMask_ = 0; // output bits of the last live status
    control::MotorStateBlinker blinker_;
};

} // namespace kvt
