// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/Axis.h"
#include "sim/ConfigRecord.h"
#include "sim/EncoderTest.h"
#include "sim/EndSensors.h"
#include "sim/LiveStatus.h"
#include "sim/MotorSupervisor.h"
#include "sim/ModbusMaster.h"
#include "sim/ProgramInterpreter.h"
#include "sim/ProgramMemory.h"
#include "sim/RegisterBank.h"
#include "sim/SimMemory.h"
#include "sim/Surroundings.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <mutex>
#include <utility>

namespace kvt::sim {

// The firmware of one simulated controller: it takes commands (operation code first, as they
// arrive after the report ID) and returns its responses; time moves only through advance().
// Responses the controller sends on its own (encoder test, register preview, Modbus frames)
// wait in an outbox until takeUnsolicited().
//
// When a lock is set, every public call holds it, so a backend can share the model between
// its I/O threads and the user-interface thread.
class SimController : private ProgramMachine {
public:
    SimController(const QString& model, float firmware, const QString& deviceText);

    QList<QByteArray> handle(const QByteArray& command);
    void advance(int ms);
    QList<QByteArray> takeUnsolicited();

    // Power off and on: drive off, motion and inputs cleared, the program stopped, registers
    // back to their saved values, the position kept only when the configuration asks for it.
    // The configuration, the stored program and the saved registers stay.
    void powerCycle();

    void setLock(std::recursive_mutex* lock) { lock_ = lock; }

    // What the controller holds while it stays plugged in (see SimMemory.h), and putting it back,
    // as if the time between two runs of a program that simulates it had not unplugged it.
    SimMemory memory() const;
    void restoreMemory(const SimMemory& memory);

    // What the controller holds now.
    QString model() const;
    ConfigRecord config() const;
    LiveState liveState() const;
    bool driveOn() const;
    double maxSpeed() const; // working motion parameters
    double acceleration() const;
    ProgramMemory::RunState programRunState() const;
    int programLength() const;
    QByteArray programRecord(int index) const;
    quint32 registerPair(int n) const; // user registers n, n+1 as one 32-bit value
    int modbusPreviewMode() const;

    // The controller's surroundings.
    void setTemperature(int celsius);
    void setSupplyMv(quint32 millivolts);
    void setAnalogMv(quint32 millivolts);
    void setEncoderWiring(quint8 verdict); // an EncoderTest verdict
    // Pulses per revolution of the fitted encoder; 0: the configured resolution.
    void setEncoderResolution(qint32 pulses);
    // End switches on the axis for the back-and-forth function: Home1 moves to `home1`, and a
    // Home2 switch is fitted at `home2` (both in the configured unit from the power-on position).
    void setEndSensors(const EndSensors& sensors);
    quint8 inputs() const; // the input bits as the live status reports them
    // Where the Home1 switch sits, in the configured unit from the power-on position
    // (default -1: homing with a negative speed finds it one unit below).
    void setHome1Position(double position);
    // Puts the drive into overload or position error (or clears the fault): the motor stops
    // and the live status reports the fault until the drive is switched on or off again.
    void injectFault(DriveFault fault);
    DriveFault fault() const;
    void receiveModbusFrame(const QByteArray& frame); // a frame seen on the RS485 bus

    // The stored configuration changed from elsewhere (the controller's own panel, Modbus); the
    // Modbus settings and the firmware version stay. The two reports below tell the host.
    void setConfig(const ConfigRecord& record);
    void reportEncoderMode();   // sends response 35 with the stored encoder type
    void reportHomingOptions(); // sends response 86 with the stored homing method and options

private:
    std::unique_lock<std::recursive_mutex> guard() const;
    QList<QByteArray> motion(quint8 code, float value);
    QList<QByteArray> applyInputs(quint8 inputs);
    void resetMotionLimits();
    std::optional<double> analogSpeed() const;
    double analogInputValue() const; // the analog input's scaled value

    // What the program interpreter drives.
    void switchDriveOn() override;
    void runAtSpeed(double speed) override;
    void stopMotor() override;
    std::optional<bool> programInput(int number) const override;
    double analogInputSpeed() const override;
    double unitsPerRevolution() const;
    void tick(int ms);

    QString model_;
    QString deviceText_;
    std::recursive_mutex* lock_ = nullptr;

    ConfigRecord config_;
    Axis axis_;
    bool driveOn_ = false;
    MotorSupervisor supervisor_; // faults, position correction, analog speed mode, state code
    Surroundings surroundings_;  // the Home1 switch, temperature and supply voltage
    LiveState env_;              // inputs, outputs and readings; motion fields come from the axis
    double encoderTurns_ = 0;
    quint8 encoderWiring_ = EncoderTest::WiringCorrect;
    qint32 encoderPulses_ = 0; // 0: the encoder has the configured resolution
    EndSensors sensors_;
    ProgramInterpreter interpreter_;
    EncoderTest encoderTest_;
    ProgramMemory program_;
    RegisterBank registers_;
    int previewMode_ = 0; // 0 off, 1 Modbus frames, 2 user registers
    ModbusMaster busMaster_; // traffic on the RS485 bus, reported in preview mode 1
    int previewElapsed_ = 0;
    QList<QByteArray> outbox_;
};

} // namespace kvt::sim
