// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "modbus/core/UserRegisters.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// What a Modbus-RTU frame seen on the RS485 bus says: slave, function, registers and values, and
// whether its CRC and length are right. Requests and responses share their function code; which
// one a frame is follows from its length, and where both would fit, from the read request that
// went before it.
namespace kvt::modbus {

enum class FrameKind { Request, Response, Exception, Unknown };

struct DecodedFrame {
    QByteArray bytes;           // the frame as seen, CRC included
    int slave = -1;             // -1 for an empty frame
    int function = -1;          // the function code byte (bit 7 set for an exception); -1 when missing
    FrameKind kind = FrameKind::Unknown;
    bool crcChecked = false;    // the frame is long enough to carry a CRC (4 bytes)
    bool crcOk = false;
    quint16 crcSent = 0;        // as the frame carries it
    quint16 crcExpected = 0;    // as computed over the frame
    bool lengthOk = false;      // a length the function code can have
    int start = -1;             // first coil or register, when the frame names it
    int count = -1;             // number of coils or registers, when the frame names it
    int byteCount = -1;         // the byte count field, when the frame has one
    int subFunction = -1;       // diagnostics (8)
    int exceptionCode = -1;
    QList<quint16> words;       // register values, a single write's value, diagnostic data
    QByteArray bits;            // coil or input states, eight a byte, lowest first
    int wordsStart = -1;        // register of words[0] where known

    int baseFunction() const { return function < 0 ? -1 : function & 0x7F; }
    bool crcError() const { return crcChecked && !crcOk; }
    bool knownFunction() const;
};

// Decodes one frame on its own; a short read response of coils or inputs that could also be a
// request is taken as the request.
DecodedFrame decodeFrame(QByteArrayView frame);

// Decodes frames in the order they were seen: a read response is matched with the last read
// request of the same function to the same slave, so its values get their register numbers.
class FrameDecoder {
public:
    DecodedFrame decode(QByteArrayView frame);
    void reset() { pending_.reset(); }

private:
    struct PendingRead {
        int slave = 0;
        int function = 0;
        int start = 0;
        int count = 0;
    };
    std::optional<PendingRead> pending_;
};

// A user-register pair (50..99) among a frame's register values, as the register view shows it.
struct RegisterPairValue {
    int firstRegister = 0;
    quint32 value = 0;
};
QList<RegisterPairValue> userRegisterPairs(const DecodedFrame& frame);

// The words a decoded frame is described with, in one language. The keys are those of the main
// window's translation store.
struct DecodeTexts {
    QString slave, request, response, exception, start, count, bytes, values, value, subFunction, on, off,
        crcError, badLength, unknownFunction, unknownException;
    QHash<int, QString> functions;  // by function code
    QHash<int, QString> exceptions; // by exception code

    static QStringList keys();
    static DecodeTexts fromLookup(const std::function<QString(const QString& key)>& text);
};

// One line describing the frame, e.g. "slave 1; 03 Read Holding Registers; request; start 50;
// count 10". User-register pairs among the values are shown as the register view shows them.
QString describe(const DecodedFrame& frame, const DecodeTexts& texts, RegisterView view);
// The function's name, or the unknown-function text.
QString functionName(int functionCode, const DecodeTexts& texts);
// "request", "response", "exception" or "unknown", for files and scripts.
QString kindToken(FrameKind kind);
// The frame's bytes as upper-case hexadecimal pairs separated by one blank.
QString hexBytes(QByteArrayView bytes);

} // namespace kvt::modbus
