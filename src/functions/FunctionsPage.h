// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "functions/core/AutoFunction.h"
#include "shell/Page.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kvt {

class ProgramTransfer;

// The Functions page ("TabSheet1"): the back-and-forth function. "Programuj" validates the three
// fields, asks before the controller's program is overwritten, generates the program into the
// program store and sends it with the program transfer, as a send from the Program page does.
class FunctionsPage : public Page {
    Q_OBJECT
public:
    // The generated program goes out through `transfer`, the Program page's.
    FunctionsPage(AppContext& context, ProgramTransfer& transfer, QWidget* parent = nullptr,
                  Build build = Build::Now);

    bool enabledByConnection() const override { return false; }

    QLabel* Label42; // introduction
    QFrame* Panel1;  // the panel of the function
    QLabel* Label43; // its title
    QLabel* Image1;  // the axis between HOME1 and HOME2
    QLabel* Label29;
    QLineEdit* Edit_AF_Wait1;
    QLabel* Labe_lAutoFunc1_Speed;
    QLineEdit* Edit_AF_Speed;
    QCheckBox* Edit_AF_Ain;
    QLabel* Label32;
    QLineEdit* Edit_AF_Wait2;
    QPushButton* btn_MotionFunctionSet;

private:
    void buildContent() override;
    void applyModelProfile(const control::ModelProfile& profile) override;
    // The check box: the speed field is enabled exactly when the speed is not the analog one.
    void toggleAnalogSpeed();
    // "Programuj".
    void programFunction();
    // Reads, limits and writes back the three fields in order; the first invalid one is reported
    // and ends the reading.
    std::optional<functions::AutoFunctionSettings> readSettings();
    // Puts the generated program into the program store and sends it.
    void sendProgram(const functions::AutoFunctionSettings& settings);

    ProgramTransfer& transfer_;
};

} // namespace kvt
