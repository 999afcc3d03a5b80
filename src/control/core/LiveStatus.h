// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "format/core/NumberFormat.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace kvt::control {

// Input bits of the live status, in the order of the input simulation mask.
namespace input {
constexpr quint8 Run = 0x01;
constexpr quint8 Stop = 0x02; // In3 on the PXA-KVT
constexpr quint8 In1 = 0x04;
constexpr quint8 In2 = 0x08;
constexpr quint8 Home1 = 0x10;
constexpr quint8 Home2 = 0x20;
constexpr quint8 All = 0x3F;
} // namespace input

// Output bits of the output mask.
namespace output {
constexpr quint8 Out1 = 0x01;
constexpr quint8 Out2 = 0x02;
} // namespace output

// Response 97, the live status, as the controller reports it. Positions and speeds are in the
// configured unit.
struct LiveStatus {
    float position = 0;
    float speed = 0;
    quint8 ioFlags = 0; // the six inputs in bits 0..5, Out1 in bit 6, Out2 in bit 7
    quint8 motorState = 0;
    qint32 temperatureRaw = 0; // degrees Celsius plus 25
    quint32 analogMv = 0;
    quint32 supplyMv = 0;
    qint32 encoderCount = 0;
    float destination = 0;
    float moveTime = 0;
    float accTime = 0;
    float accDistance = 0;

    // The inputs as the input simulation mask keeps them, and the outputs as the output mask.
    quint8 inputMask() const { return ioFlags & input::All; }
    quint8 outputMask() const { return static_cast<quint8>(ioFlags >> 6); }
};

// Decodes response 97 (operation code first). Bytes missing from a short response read as 0.
LiveStatus decodeLiveStatus(const QByteArray& response);

// How a display is coloured. The page maps these onto the window's status colours.
enum class Shade {
    Normal,  // the field's own colour (black text, the edit field's background)
    Active,  // #A5FF00
    Off,     // #FD7C66
    Warning, // #FFA500
    Info,    // #ADD8E6
    Alarm,   // #FF0000
};

// The motor state display of one state code: its text (a key of the main window's texts, or a
// fixed text that is the same in both languages), its colour, and whether it blinks.
struct MotorStateLook {
    QString textKey;
    QString fixedText;
    Shade shade = Shade::Normal;
    bool blinks = false;
};
// Codes 0..9; none for any other code, which leaves the display as it was.
std::optional<MotorStateLook> motorStateLook(quint8 code);

// The motor state field's background across reports. The blinking codes (position error,
// overload) share one counter: every second report with such a code toggles the background
// between the code's colour and normal; other codes set their colour at once and leave the
// counter alone.
class MotorStateBlinker {
public:
    // The background after a report with `code`, given the background the field has now.
    Shade next(const MotorStateLook& look, Shade current);
    int counter() const { return counter_; }

private:
    int counter_ = 0;
};

// Every text and colour the live status writes, derived from one report.
struct LiveStatusView {
    QString position;    // Text_Xact
    QString speed;       // Text_Vact
    QString destination; // Text_Xdest
    QString temperature; // label_UcTemp
    bool temperatureHigh = false;
    QString analog; // Label_Vain
    QString supply; // Label_Vzas
    bool supplyOutOfRange = false;
    QString encoder;     // Label_EncRAW
    QString moveTime;    // Label_Time
    QString accTime;     // Label_TimeAccDec
    QString accDistance; // Label_DistAccDec
};

// `decimals` is the display precision; `unit` the unit text of the unit selector.
LiveStatusView viewOf(const LiveStatus& status, int decimals, const QString& unit,
                      fmt::Separators separators);

// The single readings, for the places that show them on their own.
int temperatureCelsius(qint32 raw);        // the raw value less 25, never below 0
bool temperatureHigh(int celsius);         // above 70 degrees
bool supplyOutOfRange(quint32 millivolts); // outside 12..36 V
QString positionText(double value, int decimals, fmt::Separators separators); // grouped(5, d)

// "On" / "Off" of one input or output field.
inline QString onOffText(bool on) {
    return on ? QStringLiteral("On") : QStringLiteral("Off");
}

} // namespace kvt::control
