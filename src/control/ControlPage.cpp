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

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

namespace kvt {

using namespace control;

namespace {

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

std::optional<quint8> ControlPage::pollRequest() const {
    return op::LiveStatus;
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
