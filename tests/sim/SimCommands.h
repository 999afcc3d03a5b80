// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Commands to a simulated controller as the host builds them, for the simulator's own suites.

#include "link/Bytes.h"
#include "link/OpCode.h"
#include "sim/SimController.h"

#include <QByteArray>
#include <QList>

namespace testing::sim {

inline QByteArray cmd(quint8 code) {
    return QByteArray(1, static_cast<char>(code));
}

inline QByteArray cmdF(quint8 code, float value) {
    QByteArray b = cmd(code);
    kvt::bytes::putF32le(b, 1, value);
    return b;
}

inline QByteArray cmdU8(quint8 code, quint8 value) {
    return cmd(code) + QByteArray(1, static_cast<char>(value));
}

inline QByteArray only(const QList<QByteArray>& responses) {
    return responses.size() == 1 ? responses.first() : QByteArray();
}

inline QByteArray motionParams(float maxSpeed, float acceleration) {
    QByteArray b = cmd(kvt::op::SetMotionParams);
    kvt::bytes::putF32le(b, 5, maxSpeed);
    kvt::bytes::putF32le(b, 9, acceleration);
    return b;
}

inline QByteArray status(kvt::sim::SimController& c) {
    return only(c.handle(cmd(kvt::op::LiveStatus)));
}

// A 236 command as the host builds it from the configuration page.
struct Write {
    quint8 maxCurrent = 60, redCurrent = 30, microstep = 32, motorResol = 4;
    float vmin = 0.25f, vmax = 12.5f, acc = 40.0f;
    qint32 encoderResol = 2000;
    quint8 encoderMode = 1, homingMode = 2, offAfterError = 1, positionMem = 1, homeAsLimit = 1,
           startStop = 1;
    quint8 ainMode = 2;
    float ainMin = -3.0f, ainMax = 7.5f, coef = 2.5f;
    quint8 units = 3;
    qint32 kp = 42;

    QByteArray bytes() const {
        using namespace kvt::bytes;
        QByteArray b(63, '\0');
        putU8(b, 0, kvt::op::WriteConfiguration);
        putU8(b, 1, maxCurrent);
        putU8(b, 2, redCurrent);
        putU8(b, 3, microstep);
        putU8(b, 4, motorResol);
        putF32le(b, 5, vmin);
        putF32le(b, 9, vmax);
        putF32le(b, 13, acc);
        putI32le(b, 17, encoderResol);
        putU8(b, 21, encoderMode);
        putU8(b, 22, homingMode);
        putU8(b, 23, offAfterError);
        putU8(b, 24, positionMem);
        putU8(b, 25, homeAsLimit);
        putU8(b, 26, startStop);
        putU8(b, 27, ainMode);
        putF32le(b, 28, ainMin);
        putF32le(b, 32, ainMax);
        putF32le(b, 36, coef);
        putU8(b, 40, units);
        putI32le(b, 41, kp);
        return b;
    }
};

} // namespace testing::sim
