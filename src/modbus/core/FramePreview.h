// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/ByteReader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Response 87: one Modbus-RTU frame the controller received on its RS485 bus. Byte 1 is the
// number of frame bytes (signed), the frame follows from byte 2: slave address, function code,
// the rest of the frame including its CRC.
namespace kvt::modbus {

// One line of the frame log: the frame bytes in hexadecimal and, after them, the text (by key)
// that says what the frame asks of the controller. The key is empty for function codes without
// a text.
struct FrameLogEntry {
    QString hex;     // "01  03  00  32  " : two upper-case digits and two blanks per byte
    QString textKey; // IDS_94 for another slave address, else the function's text
};

// Describes the frame in `response` for a controller whose slave address is `ownAddress`.
// Only bytes present in the response are read: a count larger than the response is cut to it.
// The address and function code are read from their places even when the count is 0. Address 0
// (broadcast) never matches.
FrameLogEntry describeFrame(const ByteReader& response, int ownAddress);

// The same for a frame on its own (one read back from a capture file): its bytes, and the text
// for its address (first byte) and function code (second byte), 0 where missing.
FrameLogEntry describeFrameBytes(QByteArrayView frame, int ownAddress);

// The frame bytes response 87 carries, as describeFrame reads them.
QByteArray frameBytes(const QByteArray& response);

// Text key of a Modbus function code (1, 2, 3, 5, 6, 16), or empty for any other code.
QString functionTextKey(int functionCode);

} // namespace kvt::modbus
